// The allow-list file is written by hand on the server: whatever it holds, the check must answer allowed or denied
// without crashing, for every function name.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "FMHost/Host.h"
#include "errors/AllowList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static FMHost::Session *session = [] {
        auto *s = new FMHost::Session();
        s->OpenFile("Invoices");
        return s;
    }();
    if (FILE *file = std::fopen(FUZZ_ALLOWLIST_PATH, "wb"))
    {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    fmx::DataUniquePtr result;
    vtl::isFunctionAllowed("Vantrel_Get", session->Env(), *result);
    vtl::isFunctionAllowed("any", session->Env(), *result);
    return 0;
}
