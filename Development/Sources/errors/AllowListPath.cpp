#include "errors/AllowListPath.h"

#ifndef VANTREL_ALLOWLIST_PATH
#error "VANTREL_ALLOWLIST_PATH must be defined by the build"
#endif

const char *vtl::AllowListPath()
{
    return VANTREL_ALLOWLIST_PATH;
}
