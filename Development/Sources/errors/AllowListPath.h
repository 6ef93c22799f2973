#ifndef VANTREL_ERRORS_ALLOWLISTPATH_H
#define VANTREL_ERRORS_ALLOWLISTPATH_H

namespace vtl
{
// The allow-list file this build reads. Fixed when the plug-in is built; nothing at run time changes it.
const char *AllowListPath();
}

#endif
