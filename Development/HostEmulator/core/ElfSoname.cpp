#include "core/ElfSoname.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace emu {
namespace {

// Reads exactly n bytes at offset, or fails; never reads past the end.
using ReadAt = std::function<bool(std::uint64_t offset, void *out, std::size_t n)>;

// A dynamic segment of a real library has a few dozen entries; a corrupt one must not make us read for ever.
constexpr std::uint64_t kMaxDynamicEntries = 1u << 16;
constexpr std::size_t kMaxSonameLength = 4096;

struct Elf32 { using Ehdr = Elf32_Ehdr; using Phdr = Elf32_Phdr; using Dyn = Elf32_Dyn; };
struct Elf64 { using Ehdr = Elf64_Ehdr; using Phdr = Elf64_Phdr; using Dyn = Elf64_Dyn; };

// A field as the file stores it, in the host's byte order.
template <typename T> std::uint64_t field(T value, bool swap)
{
    if (swap)
    {
        unsigned char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        std::reverse(bytes, bytes + sizeof value);
        std::memcpy(&value, bytes, sizeof value);
    }
    return static_cast<std::uint64_t>(value);
}

bool addWithoutOverflow(std::uint64_t a, std::uint64_t b, std::uint64_t &sum)
{
    sum = a + b;
    return sum >= a;
}

struct Load
{
    std::uint64_t vaddr, offset, size;
};

// The file offset of a virtual address inside a loaded segment's file image.
bool fileOffsetOf(const std::vector<Load> &loads, std::uint64_t address, std::uint64_t &offset)
{
    for (const Load &load : loads)
        if (address >= load.vaddr && address - load.vaddr < load.size)
            return addWithoutOverflow(load.offset, address - load.vaddr, offset);
    return false;
}

// The NUL-terminated string at offset, within limit bytes; empty when it does not end in time.
std::string terminatedString(const ReadAt &read, std::uint64_t fileSize, std::uint64_t offset, std::uint64_t limit)
{
    if (offset >= fileSize || limit == 0)
        return {};
    limit = std::min<std::uint64_t>({limit, fileSize - offset, kMaxSonameLength + 1});
    std::string text(static_cast<std::size_t>(limit), '\0');
    if (!read(offset, text.data(), text.size()))
        return {};
    std::size_t end = text.find('\0');
    if (end == std::string::npos || end > kMaxSonameLength)
        return {};
    text.resize(end);
    return text;
}

template <class Elf> std::string soname(const ReadAt &read, std::uint64_t fileSize, bool swap)
{
    typename Elf::Ehdr header;
    if (!read(0, &header, sizeof header))
        return {};
    const std::uint64_t phoff = field(header.e_phoff, swap);
    const std::uint64_t phentsize = field(header.e_phentsize, swap);
    const std::uint64_t phnum = field(header.e_phnum, swap);
    if (phentsize < sizeof(typename Elf::Phdr) || phnum == 0 || phnum == PN_XNUM)
        return {};

    std::vector<Load> loads;
    bool haveDynamic = false;
    std::uint64_t dynamicOffset = 0, dynamicSize = 0;
    for (std::uint64_t i = 0; i < phnum; ++i)
    {
        typename Elf::Phdr segment;
        std::uint64_t at;
        if (!addWithoutOverflow(phoff, i * phentsize, at) || !read(at, &segment, sizeof segment))
            return {};
        const std::uint64_t type = field(segment.p_type, swap);
        if (type == PT_LOAD)
            loads.push_back({field(segment.p_vaddr, swap), field(segment.p_offset, swap), field(segment.p_filesz, swap)});
        else if (type == PT_DYNAMIC && !haveDynamic)
        {
            haveDynamic = true;
            dynamicOffset = field(segment.p_offset, swap);
            dynamicSize = field(segment.p_filesz, swap);
        }
    }
    if (!haveDynamic)
        return {};

    bool haveSoname = false, haveStrtab = false;
    std::uint64_t sonameIndex = 0, strtabAddress = 0, strtabSize = 0;
    const std::uint64_t entries = std::min(dynamicSize / sizeof(typename Elf::Dyn), kMaxDynamicEntries);
    for (std::uint64_t i = 0; i < entries; ++i)
    {
        typename Elf::Dyn entry;
        std::uint64_t at;
        if (!addWithoutOverflow(dynamicOffset, i * sizeof entry, at) || !read(at, &entry, sizeof entry))
            return {};
        const std::uint64_t tag = field(entry.d_tag, swap);
        const std::uint64_t value = field(entry.d_un.d_val, swap);
        if (tag == DT_NULL)
            break;
        if (tag == DT_SONAME && !haveSoname)
        {
            haveSoname = true;
            sonameIndex = value;
        }
        else if (tag == DT_STRTAB)
        {
            haveStrtab = true;
            strtabAddress = value;
        }
        else if (tag == DT_STRSZ)
            strtabSize = value;
    }
    std::uint64_t strtabOffset, sonameOffset;
    if (!haveSoname || !haveStrtab || sonameIndex >= strtabSize || !fileOffsetOf(loads, strtabAddress, strtabOffset) ||
        !addWithoutOverflow(strtabOffset, sonameIndex, sonameOffset))
        return {};
    return terminatedString(read, fileSize, sonameOffset, strtabSize - sonameIndex);
}

std::string sonameOf(const ReadAt &read, std::uint64_t fileSize)
{
    unsigned char ident[EI_NIDENT];
    if (!read(0, ident, sizeof ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0)
        return {};
    const bool hostLittle = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
    if (ident[EI_DATA] != ELFDATA2LSB && ident[EI_DATA] != ELFDATA2MSB)
        return {};
    const bool swap = (ident[EI_DATA] == ELFDATA2LSB) != hostLittle;
    if (ident[EI_CLASS] == ELFCLASS64)
        return soname<Elf64>(read, fileSize, swap);
    if (ident[EI_CLASS] == ELFCLASS32)
        return soname<Elf32>(read, fileSize, swap);
    return {};
}

// Closes the descriptor on every way out.
struct cFileDescriptor
{
    int fd;
    ~cFileDescriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

} // namespace

std::string ElfSonameOfImage(const void *data, std::size_t size)
{
    const auto *bytes = static_cast<const unsigned char *>(data);
    return sonameOf(
        [bytes, size](std::uint64_t offset, void *out, std::size_t n) {
            if (bytes == nullptr || offset > size || n > size - offset)
                return false;
            std::memcpy(out, bytes + offset, n);
            return true;
        },
        size);
}

std::string ElfSonameOfFile(const std::string &path)
{
    cFileDescriptor file{open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY)};
    struct stat status;
    if (file.fd < 0 || fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0)
        return {};
    const auto size = static_cast<std::uint64_t>(status.st_size);
    return sonameOf(
        [&file, size](std::uint64_t offset, void *out, std::size_t n) {
            if (offset > size || n > size - offset)
                return false;
            auto *at = static_cast<char *>(out);
            while (n > 0)
            {
                ssize_t got = pread(file.fd, at, n, static_cast<off_t>(offset));
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    return false;
                at += got;
                n -= static_cast<std::size_t>(got);
                offset += static_cast<std::uint64_t>(got);
            }
            return true;
        },
        size);
}

} // namespace emu
