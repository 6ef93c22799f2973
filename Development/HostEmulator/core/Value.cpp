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

} // namespace

void Value::Clear(DataType type)
{
    type_ = type;
    empty_ = true;
    text_.Clear();
    number_ = Number();
    dateTime_ = DateTime();
    binary_.Clear();
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
        type_ = kDTText;
        empty_ = text_.Empty();
        Invalidate();
        break;
    }
    locale_ = locale;
    return 0;
}

void Value::SetText(std::u16string_view text)
{
    text_.Assign(text);
    type_ = kDTText;
    empty_ = text_.Empty();
    Invalidate();
}

void Value::SetNumber(const Number &number, DataType type)
{
    number_ = number;
    type_ = kDTNumber;
    empty_ = false;
    Invalidate();
    if (type == kDTBoolean)
        type_ = kDTBoolean;
    else if (type != kDTNumber)
        Convert(type);
}

void Value::SetDateTime(const DateTime &value, DataType source, DataType type)
{
    if (source != kDTDate && source != kDTTime)
        source = kDTTimeStamp;
    dateTime_ = source == kDTDate ? DatePart(value) : value;
    type_ = source;
    empty_ = false;
    Invalidate();
    if (type != source)
        Convert(type);
}

void Value::SetBinary(const BinaryData &binary)
{
    if (&binary != &binary_)
        binary_ = binary;
    type_ = kDTBinary;
    empty_ = binary_.Empty();
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
    const bool wasEmpty = empty_;
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
        binary_ = AsBinary();
        break;
    default:
        Clear(kDTInvalid);
        return;
    }
    type_ = type;
    empty_ = wasEmpty;
    Invalidate();
}

const Text &Value::AsText() const
{
    if (type_ == kDTText)
        return text_;
    if (!(views_ & kTextView))
    {
        if (empty_)
            textView_.Clear();
        else
            switch (type_)
            {
            case kDTNumber:
            case kDTBoolean: textView_.Assign(number_.ToText()); break;
            case kDTDate: textView_.Assign(dateTime_.DateText()); break;
            case kDTTime: textView_.Assign(dateTime_.TimeText()); break;
            case kDTTimeStamp: textView_.Assign(dateTime_.TimestampText()); break;
            case kDTBinary: textView_.Assign(binary_.FileName()); break;
            default: textView_.Clear(); break;
            }
        SetViewFlag(kTextView);
    }
    return textView_;
}

const Number &Value::AsNumber() const
{
    if (type_ == kDTNumber || type_ == kDTBoolean)
        return number_;
    if (!(views_ & kNumberView))
    {
        numberView_ = Number();
        if (!empty_)
            switch (type_)
            {
            case kDTText: Number::FromText(text_.Chars(), numberView_); break;
            case kDTDate: numberView_ = Number::FromInt(dateTime_.DayNumber()); break;
            case kDTTime:
            case kDTTimeStamp: numberView_ = dateTime_.Seconds(); break;
            default: break;
            }
        SetViewFlag(kNumberView);
    }
    return numberView_;
}

const DateTime &Value::AsDate() const
{
    if (type_ == kDTDate)
        return dateTime_;
    if (!(views_ & kDateView))
    {
        dateView_ = DateTime();
        if (!empty_)
            switch (type_)
            {
            case kDTTimeStamp: dateView_ = DatePart(dateTime_); break;
            case kDTNumber:
            case kDTBoolean: dateView_.SetDayNumber(number_.Floor().ToInt64()); break;
            case kDTText:
                if (DateTime::ParseDate(text_.Chars(), dateView_) || DateTime::ParseTimestamp(text_.Chars(), dateView_))
                    dateView_ = DatePart(dateView_);
                break;
            default: break;
            }
        SetViewFlag(kDateView);
    }
    return dateView_;
}

const DateTime &Value::AsTime() const
{
    if (type_ == kDTTime)
        return dateTime_;
    if (!(views_ & kTimeView))
    {
        timeView_ = DateTime();
        if (!empty_)
            switch (type_)
            {
            case kDTTimeStamp: timeView_.SetUsec(dateTime_.UsecOfDay()); break;
            case kDTNumber:
            case kDTBoolean: timeView_.SetSeconds(number_); break;
            case kDTText:
                if (!DateTime::ParseTime(text_.Chars(), timeView_)
                    && DateTime::ParseTimestamp(text_.Chars(), timeView_))
                    timeView_.SetUsec(timeView_.UsecOfDay());
                break;
            default: break;
            }
        SetViewFlag(kTimeView);
    }
    return timeView_;
}

const DateTime &Value::AsTimestamp() const
{
    if (type_ == kDTTimeStamp)
        return dateTime_;
    if (!(views_ & kTimestampView))
    {
        timestampView_ = DateTime();
        if (!empty_)
            switch (type_)
            {
            case kDTDate:
            case kDTTime: timestampView_ = dateTime_; break;
            case kDTNumber:
            case kDTBoolean: timestampView_.SetSeconds(number_); break;
            case kDTText:
                if (!DateTime::ParseTimestamp(text_.Chars(), timestampView_))
                    timestampView_ = DateTime();
                break;
            default: break;
            }
        SetViewFlag(kTimestampView);
    }
    return timestampView_;
}

bool Value::AsBoolean() const
{
    if (empty_)
        return false;
    switch (type_)
    {
    case kDTBinary: return !binary_.Empty();
    case kDTDate:
    case kDTTime:
    case kDTTimeStamp: return dateTime_.Usec() != 0 || type_ == kDTDate;
    default: return !AsNumber().IsZero();
    }
}

const BinaryData &Value::AsBinary() const
{
    if (type_ == kDTBinary)
        return binary_;
    binaryView_.Clear();
    return binaryView_;
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

DataVect &RowVect::AddRow()
{
    rows_.push_back(std::make_unique<DataVect>());
    return *rows_.back();
}

} // namespace emu
