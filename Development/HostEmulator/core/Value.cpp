#include "core/Value.h"

namespace emu {
namespace {

enum : uint8_t { kTextView = 1, kNumberView = 2, kDateView = 4, kTimeView = 8, kTimestampView = 16 };

DateTime DatePart(const DateTime &dt)
{
    DateTime d = dt;
    d.SetUsecOfDay(0);
    return d;
}

uint8_t Packed(DataType type) { return static_cast<uint8_t>(type); }

const BinaryData &EmptyBinary()
{
    static const BinaryData empty;
    return empty;
}

} // namespace

struct Value::Extra
{
    BinaryData binary;
    DateTime dateView, timeView, timestampView;
};

Value::Value() = default;
Value::~Value() = default;
Value::Value(Value &&other) noexcept = default;
Value &Value::operator=(Value &&other) noexcept = default;

Value::Value(const Value &other)
    : number_(other.number_), text_(other.text_), dateTime_(other.dateTime_),
      extra_(other.extra_ ? std::make_unique<Extra>(*other.extra_) : nullptr), locale_(other.locale_),
      type_(other.type_), empty_(other.empty_), views_(other.views_),
      jsonState_(other.jsonState_)
{
}

Value &Value::operator=(const Value &other)
{
    if (&other != this)
    {
        Value copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Value::Extra &Value::Ext() const
{
    if (!extra_)
        extra_ = std::make_unique<Extra>();
    return *extra_;
}

void Value::Clear(DataType type)
{
    type_ = Packed(type);
    empty_ = true;
    text_.Clear();
    number_ = Number();
    dateTime_ = DateTime();
    if (extra_)
        extra_->binary.Clear();
    Invalidate();
}

int16_t Value::SetAsText(const Text &text, const Locale &locale, DataType type)
{
    const std::u16string &chars = text.Chars();
    DateTime dt;
    switch (type)
    {
    case kDTNumber:
    case kDTBoolean:
    {
        Number n;
        const bool any = Number::FromText(chars, n);
        SetNumber(n, type);
        empty_ = !any;
        break;
    }
    case kDTDate:
        if (!chars.empty() && !DateTime::ParseDate(chars, dt) && !DateTime::ParseTimestamp(chars, dt))
            return kErrBadDate;
        SetDateTime(dt, kDTDate, kDTDate);
        empty_ = chars.empty();
        break;
    case kDTTime:
        if (!chars.empty() && !DateTime::ParseTime(chars, dt))
        {
            if (!DateTime::ParseTimestamp(chars, dt))
                return kErrBadTime;
            dt.SetUsec(dt.UsecOfDay());
        }
        SetDateTime(dt, kDTTime, kDTTime);
        empty_ = chars.empty();
        break;
    case kDTTimeStamp:
        if (!chars.empty() && !DateTime::ParseTimestamp(chars, dt))
            return kErrBadDate;
        SetDateTime(dt, kDTTimeStamp, kDTTimeStamp);
        empty_ = chars.empty();
        break;
    default:
        // Text; a container or invalid type given text keeps it as text.
        if (&text != &text_)
            text_.SetText(text);
        type_ = Packed(kDTText);
        empty_ = text_.Empty();
        Invalidate();
        break;
    }
    locale_ = locale;
    return 0;
}

void Value::SetText(std::u16string_view text)
{
    text_.Assign(text);  // keeps the room the value had
    BecomeText();
}

void Value::TakeText(std::u16string &&text)
{
    text_.Assign(std::move(text));
    BecomeText();
}

void Value::BecomeText()
{
    type_ = Packed(kDTText);
    empty_ = text_.Empty();
    Invalidate();
}

void Value::SetNumber(const Number &number, DataType type)
{
    number_ = number;
    type_ = Packed(kDTNumber);
    empty_ = false;
    Invalidate();
    if (type == kDTBoolean)
        type_ = Packed(kDTBoolean);
    else if (type != kDTNumber)
        Convert(type);
}

void Value::SetDateTime(const DateTime &value, DataType source, DataType type)
{
    if (source != kDTDate && source != kDTTime)
        source = kDTTimeStamp;
    dateTime_ = source == kDTDate ? DatePart(value) : value;
    type_ = Packed(source);
    empty_ = false;
    Invalidate();
    if (type != source)
        Convert(type);
}

void Value::SetBinary(const BinaryData &binary)
{
    Extra &extra = Ext();
    if (&binary != &extra.binary)
        extra.binary = binary;
    type_ = Packed(kDTBinary);
    empty_ = extra.binary.Empty();
    Invalidate();
}

void Value::SetBoolean(bool value) { SetNumber(Number::FromInt(value ? 1 : 0), kDTBoolean); }

void Value::CopyFrom(const Value &other)
{
    if (&other == this)
        return;
    *this = other;
}

void Value::Convert(DataType type)
{
    if (type == type_)
        return;
    bool empty = empty_;
    switch (type)
    {
    case kDTText:
    {
        Text t = AsText();
        text_ = std::move(t);
        break;
    }
    case kDTNumber:
    case kDTBoolean:
        number_ = AsNumber();
        if (type_ == kDTText)
        {
            Number ignored;
            empty = empty || !Number::FromText(text_.Chars(), ignored);  // a text without digits: no number
        }
        break;
    case kDTDate:
        dateTime_ = AsDate();
        break;
    case kDTTime:
        dateTime_ = AsTime();
        break;
    case kDTTimeStamp:
        dateTime_ = AsTimestamp();
        break;
    case kDTBinary:
    {
        BinaryData b = AsBinary();
        Ext().binary = std::move(b);
        break;
    }
    default:
        Clear(kDTInvalid);
        return;
    }
    type_ = Packed(type);
    empty_ = empty;
    Invalidate();
}

const Text &Value::AsText() const
{
    if (type_ == kDTText)
        return text_;
    if (!(views_ & kTextView))
    {
        text_.Clear();
        if (!empty_)
            switch (type_)
            {
            case kDTNumber:
            case kDTBoolean: text_.Assign(number_.ToText()); break;
            case kDTDate: text_.Assign(dateTime_.DateText()); break;
            case kDTTime: text_.Assign(dateTime_.TimeText()); break;
            case kDTTimeStamp: text_.Assign(dateTime_.TimestampText()); break;
            case kDTBinary: text_.Assign(Ext().binary.FileName()); break;
            default: break;
            }
        SetViewFlag(kTextView);
    }
    return text_;
}

const Number &Value::AsNumber() const
{
    if (type_ == kDTNumber || type_ == kDTBoolean)
        return number_;
    if (!(views_ & kNumberView))
    {
        number_ = Number();
        if (!empty_)
            switch (type_)
            {
            case kDTText: Number::FromText(text_.Chars(), number_); break;
            case kDTDate: number_ = Number::FromInt(dateTime_.DayNumber()); break;
            case kDTTime:
            case kDTTimeStamp: number_ = dateTime_.Seconds(); break;
            default: break;
            }
        SetViewFlag(kNumberView);
    }
    return number_;
}

const DateTime &Value::AsDate() const
{
    if (type_ == kDTDate)
        return dateTime_;
    DateTime &view = Ext().dateView;
    if (!(views_ & kDateView))
    {
        view = DateTime();
        if (!empty_)
            switch (type_)
            {
            case kDTTimeStamp: view = DatePart(dateTime_); break;
            case kDTNumber:
            case kDTBoolean: view.SetDayNumber(number_.Floor().ToInt64()); break;
            case kDTText:
                if (DateTime::ParseDate(text_.Chars(), view) || DateTime::ParseTimestamp(text_.Chars(), view))
                    view = DatePart(view);
                break;
            default: break;
            }
        SetViewFlag(kDateView);
    }
    return view;
}

const DateTime &Value::AsTime() const
{
    if (type_ == kDTTime)
        return dateTime_;
    DateTime &view = Ext().timeView;
    if (!(views_ & kTimeView))
    {
        view = DateTime();
        if (!empty_)
            switch (type_)
            {
            case kDTTimeStamp: view.SetUsec(dateTime_.UsecOfDay()); break;
            case kDTNumber:
            case kDTBoolean: view.SetSeconds(number_); break;
            case kDTText:
                if (!DateTime::ParseTime(text_.Chars(), view)
                    && DateTime::ParseTimestamp(text_.Chars(), view))
                    view.SetUsec(view.UsecOfDay());
                break;
            default: break;
            }
        SetViewFlag(kTimeView);
    }
    return view;
}

const DateTime &Value::AsTimestamp() const
{
    if (type_ == kDTTimeStamp)
        return dateTime_;
    DateTime &view = Ext().timestampView;
    if (!(views_ & kTimestampView))
    {
        view = DateTime();
        if (!empty_)
            switch (type_)
            {
            case kDTDate:
            case kDTTime: view = dateTime_; break;
            case kDTNumber:
            case kDTBoolean: view.SetSeconds(number_); break;
            case kDTText:
                if (!DateTime::ParseTimestamp(text_.Chars(), view))
                    view = DateTime();
                break;
            default: break;
            }
        SetViewFlag(kTimestampView);
    }
    return view;
}

bool Value::AsBoolean() const
{
    if (empty_)
        return false;
    switch (type_)
    {
    case kDTBinary: return !AsBinary().Empty();
    case kDTDate:
    case kDTTime:
    case kDTTimeStamp: return dateTime_.Usec() != 0 || type_ == kDTDate;
    default: return !AsNumber().IsZero();
    }
}

const BinaryData &Value::AsBinary() const
{
    if (type_ == kDTBinary && extra_)
        return extra_->binary;
    return EmptyBinary();
}

void DataVect::PushBack(const Value &value) { items_.push_back(std::make_unique<Value>(value)); }

Value &DataVect::Emplace()
{
    items_.push_back(std::make_unique<Value>());
    return *items_.back();
}

std::unique_ptr<Value> DataVect::PopBack()
{
    if (items_.empty())
        return nullptr;
    std::unique_ptr<Value> v = std::move(items_.back());
    items_.pop_back();
    return v;
}

} // namespace emu
