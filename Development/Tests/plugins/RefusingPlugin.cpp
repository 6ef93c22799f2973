// A plug-in that refuses to initialise: it answers the value of FMHOST_TEST_INIT_ANSWER (default -1, "bad
// interface version"), and logs the messages it receives to FMHOST_TEST_LOG.
#include "FMWrapper/FMXExtern.h"

#include <cstdio>
#include <cstdlib>

__attribute__((visibility("default"))) FMX_ExternCallPtr gFMX_ExternCallPtr = nullptr;

extern "C" __attribute__((visibility("default"))) void FMExternCallProc(FMX_ExternCallPtr pb)
{
    gFMX_ExternCallPtr = pb;
    if (const char *path = std::getenv("FMHOST_TEST_LOG"))
        if (FILE *file = std::fopen(path, "a"))
        {
            std::fprintf(file, "message %d\n", pb->whichCall);
            std::fclose(file);
        }
    if (pb->whichCall == kFMXT_Init)
    {
        const char *answer = std::getenv("FMHOST_TEST_INIT_ANSWER");
        pb->result = static_cast<FMX_PtrType>(answer ? std::atoll(answer) : static_cast<long long>(kBadExtnVersion));
    }
}
