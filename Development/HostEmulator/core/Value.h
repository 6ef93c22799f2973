// Typed host values (fmx::Data), locales and the argument / row vectors.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/BinaryData.h"
#include "core/DateTime.h"
#include "core/Number.h"
#include "core/Text.h"

namespace emu {

// The native types of the host, numbered as the SDK numbers them.
enum DataType : int32_t
{
    kDTInvalid = 0, kDTText = 1, kDTNumber = 2, kDTDate = 3, kDTTime = 4, kDTTimeStamp = 5, kDTBinary = 6,
    kDTBoolean = 7
};

struct Locale
{
    int32_t type = 1;  // Locale::kType_System
};

// Error codes a conversion from text reports (FileMaker's validation codes).
enum : int16_t { kErrBadDate = 500, kErrBadTime = 501 };

class Value
{
public:
    Value();
    ~Value();
    Value(const Value &other);
    Value(Value &&other) noexcept;
    Value &operator=(const Value &other);
    Value &operator=(Value &&other) noexcept;

    DataType Type() const { return static_cast<DataType>(type_); }
    bool IsEmpty() const { return empty_; }
    void Clear(DataType type = kDTInvalid);

    // Text stored as text (with its styles) or, for other native types, converted from its text form.
    // A text that cannot be read as the requested date/time type leaves the value unchanged and answers
    // kErrBadDate/kErrBadTime.
    int16_t SetAsText(const Text &text, const Locale &locale, DataType type = kDTText);
    void SetText(const Text &text) { SetAsText(text, locale_, kDTText); }
    void SetText(std::u16string_view text);
    void TakeText(std::u16string &&text);  // SetText without a copy of the units
    void SetNumber(const Number &number, DataType type = kDTNumber);
    // `source` says how to read the date-time: as a date (3), a time (4) or a timestamp (5). `type` is the
    // native type to store, converting when the two differ (a timestamp stored as a date keeps its date).
    void SetDateTime(const DateTime &value, DataType source, DataType type);
    void SetBinary(const BinaryData &binary);
    void SetBoolean(bool value);
    void CopyFrom(const Value &other);
    void Convert(DataType type);

    // Views in the requested form. The returned objects live as long as the value and until it next changes.
    const Text &AsText() const;
    const Number &AsNumber() const;
    const DateTime &AsDate() const;
    const DateTime &AsTime() const;
    const DateTime &AsTimestamp() const;
    bool AsBoolean() const;
    const BinaryData &AsBinary() const;
    const Locale &GetLocale() const { return locale_; }

    // What JSONParse (or a JSON function that built the text) found the text to be: 0 not parsed, -1 parsed but
    // not valid, 1 to 6 the JSON type of its root element. It travels with copies of the value (so with a variable)
    // and is lost when the value changes.
    int8_t JsonState() const { return jsonState_; }
    void SetJsonState(int8_t state) { jsonState_ = state; }

private:
    struct Extra;
    Extra &Ext() const;  // allocated on first use
    void Invalidate()
    {
        views_ = 0;
        jsonState_ = 0;
    }
    void BecomeText();  // after text_ was assigned
    void SetViewFlag(uint8_t flag) const { views_ |= flag; }

    // Kept small (112 bytes, in the allocator's fast size class): a query result holds a value per field, and
    // their size decides its memory and speed. Hence the order of the members and the one-byte type.
    // The stored value: text_ for text, number_ for numbers and booleans, dateTime_ for the three date-time types,
    // the extra block's binary data for containers. text_ and number_ hold, for a value of another type, its view
    // in their form, built on demand.
    mutable Number number_;
    mutable Text text_;
    DateTime dateTime_;
    // A container's data and the date-time views of values of other types: rarely needed.
    mutable std::unique_ptr<Extra> extra_;
    Locale locale_;
    uint8_t type_ = kDTInvalid;
    bool empty_ = true;
    mutable uint8_t views_ = 0;
    int8_t jsonState_ = 0;  // in the padding after views_: the value's size stays the same
};

class DataVect
{
public:
    uint32_t Size() const { return static_cast<uint32_t>(items_.size()); }
    const Value *At(uint32_t i) const { return i < items_.size() ? items_[i].get() : nullptr; }
    Value *At(uint32_t i) { return i < items_.size() ? items_[i].get() : nullptr; }
    void PushBack(const Value &value);
    Value &Emplace();                      // appends an empty value and returns it
    void Reserve(uint32_t count) { items_.reserve(count); }
    std::unique_ptr<Value> PopBack();      // null when empty
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<Value>> items_;  // stable addresses: plug-ins keep references
};

} // namespace emu
