// The soname of an ELF shared object, which FileMaker Server for Linux shows as a plug-in's version. Read from the
// file's dynamic segment, as the loader finds it: the program headers, PT_DYNAMIC, DT_SONAME in DT_STRTAB.
#pragma once

#include <cstddef>
#include <string>

namespace emu {

// Both ELF classes and byte orders. Empty when there is no soname, and for anything that is not a well-formed
// ELF file: no read goes outside the file, whatever its offsets say.
std::string ElfSonameOfImage(const void *data, std::size_t size);
// The same for a file; empty also when it cannot be read or is not a regular file.
std::string ElfSonameOfFile(const std::string &path);

} // namespace emu
