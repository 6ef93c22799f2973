#include "html/Fragment.h"

#include "html/CssFormattings.h"

std::string vtl::html::cFragment::getInlineCSS() const
{
    return serialize_CSS(cssStyles, "");
}
