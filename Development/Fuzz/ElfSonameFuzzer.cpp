// fmhost reads the soname of whatever file it is told to load: any bytes must give a soname or nothing, read only
// within the file.
#include <cstddef>
#include <cstdint>

#include "core/ElfSoname.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // libFuzzer's input is exactly sized already, so AddressSanitizer catches any read past it.
    emu::ElfSonameOfImage(data, size);
    return 0;
}
