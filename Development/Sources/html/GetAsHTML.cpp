#include "html/GetAsHTML.h"

#include "FMWrapper/FMXText.h"
#include "errors/FunctionGuard.h"
#include "html/HtmlConversion.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace
{
// Parameter `index` as text, or the default when the caller gave fewer parameters.
void optionText(const fmx::DataVect &args, fmx::uint32 index, const char *fallback, fmx::Text &option)
{
    if (index < args.Size())
        option.SetText(args.AtAsText(index));
    else
        option.Assign(fallback, fmx::Text::kEncoding_Native);
}
} // namespace

fmx::errcode Vantrel_GetAsHTML(short, const fmx::ExprEnv &env, const fmx::DataVect &args, fmx::Data &result)
{
    return vtl::GuardedCall("Vantrel_GetAsHTML", env, result, [&] {
        if (args.Size() == 0)
            throw vtl::cUsageError("Input parameter is missing");
        fmx::TextUniquePtr tagOption, classOption, styleOption, html;
        optionText(args, 1, "all", *tagOption);
        optionText(args, 2, "all=vtl", *classOption);
        optionText(args, 3, "all", *styleOption);
        vtl::html::transformRichtextToHTMLWithEvaluate(args.AtAsText(0), *tagOption, *classOption, *styleOption, env,
                                                       *html);
        fmlib::SetTextResult(result, *html);
    });
}
