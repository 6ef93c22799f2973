#include "iOS_SupportFunctions/HostValues.h"

#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXBinaryData.h"

namespace fmlib
{
fmx::uint32 FindFMTextInArray(const fmx::Text &text, const char *const *array, fmx::uint32 count)
{
    if (count == 0)
        return kNotFound;
    fmx::TextUniquePtr wanted;
    wanted->SetText(text);
    wanted->Lowercase();
    fmx::TextUniquePtr candidate;
    for (fmx::uint32 i = 0; i < count; ++i)
    {
        candidate->Assign(array[i], fmx::Text::kEncoding_Native);
        candidate->Lowercase();
        if (*wanted == *candidate)
            return i;
    }
    return kNotFound;
}

void FMErrCode2FMData(fmx::int16 code, fmx::Data &result)
{
    fmx::FixPtUniquePtr number(0, fmx::FixPt::kDefltFixedPrecision);
    number->AssignInt(code);
    result.SetAsNumber(*number, fmx::Data::kDTNumber);
}

void FMData2FMData(const fmx::Data &source, fmx::Data &target)
{
    switch (source.GetNativeType())
    {
    case fmx::Data::kDTText:
        target.SetAsText(source.GetAsText(), source.GetLocale(), fmx::Data::kDTText);
        break;
    case fmx::Data::kDTNumber:
    case fmx::Data::kDTBoolean:
        target.SetAsNumber(source.GetAsNumber(), fmx::Data::kDTNumber);
        break;
    case fmx::Data::kDTDate:
        target.SetAsDate(source.GetAsDate(), fmx::Data::kDTDate);
        break;
    case fmx::Data::kDTTime:
        target.SetAsTime(source.GetAsTime(), fmx::Data::kDTTime);
        break;
    case fmx::Data::kDTTimeStamp:
        target.SetAsTimeStamp(source.GetAsTimeStamp(), fmx::Data::kDTTimeStamp);
        break;
    case fmx::Data::kDTBinary:
        target.SetBinaryData(source.GetBinaryData(), true);
        break;
    default:
        break;
    }
}

void SetTextResult(fmx::Data &result, std::string_view text, fmx::Text::Encoding encoding)
{
    fmx::TextUniquePtr value;
    value->AssignWithLength(text.data(), static_cast<fmx::uint32>(text.size()), encoding);
    SetTextResult(result, *value);
}

void SetTextResult(fmx::Data &result, const fmx::Text &text)
{
    result.SetAsText(text, result.GetLocale(), fmx::Data::kDTText);
}
}
