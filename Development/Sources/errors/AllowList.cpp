#include "errors/AllowList.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "errors/AllowListPath.h"
#include "errors/ErrorCodes.h"
#include "errors/LastError.h"
#include "host/FMUtils.h"
#include "iOS_SupportFunctions/HostValues.h"

namespace vtl
{
const char *const kAllowListMissing = "zeqPluginsAllowedFunctions.txt doesn't exists";
const char *const kAllowListUnreadable =
    "Could not open file zeqPluginsAllowedFunctions.txt, please check permissions and try again";
const char *const kAllowListNoLine = "File zeqPluginsAllowedFunctions.txt is empty";
const char *const kAllowListParseError =
    "Could not parse file zeqPluginsAllowedFunctions.txt, please check formating and try again";

std::string NotAllowedMessage(std::string_view functionName)
{
    std::string message = "Function ";
    message.append(functionName.data(), functionName.size());
    message += " is not allowed on this server";
    return message;
}

namespace
{
// The splitting rule, without copying: calls take(item) for each item in order until it returns false.
// An empty text has no item; empty pieces between, before and after separators are items.
template <class Take>
void ForEachItem(std::string_view text, std::string_view separator, Take take)
{
    if (text.empty())
        return;
    if (separator.empty())
    {
        take(text);
        return;
    }
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t found = text.find(separator, start);
        if (found == std::string_view::npos)
        {
            take(text.substr(start));
            return;
        }
        if (!take(text.substr(start, found - start)))
            return;
        start = found + separator.size();
    }
}

enum class eLine
{
    kOtherFile,
    kParseError,
    kAllowed,
    kNotAllowed,
    kMissing,
    kUnreadable
};

constexpr std::size_t kSmallestBuffer = 256;
constexpr std::size_t kLargestFirstBuffer = 64 * 1024;

struct cCaller
{
    std::string_view function;
    std::string_view file; // the name the host gives for "Get( fileName )"
};

bool NamesFile(std::string_view field, std::string_view file)
{
    static constexpr std::string_view kExtension = ".fmp12";
    if (field.size() == file.size())
        return field == file;
    return field.size() == file.size() + kExtension.size() && field.substr(0, file.size()) == file &&
           field.substr(file.size()) == kExtension;
}

eLine CheckLine(std::string_view line, const cCaller &caller)
{
    std::string_view fields[2];
    int count = 0;
    ForEachItem(line, "\t", [&](std::string_view item) {
        if (count < 2)
            fields[count] = item;
        return ++count <= 2;
    });
    if (count != 2)
        return eLine::kParseError;
    if (!NamesFile(fields[0], caller.file))
        return eLine::kOtherFile;
    if (fields[1].empty())
        return eLine::kParseError;
    eLine verdict = eLine::kNotAllowed;
    bool first = true;
    ForEachItem(fields[1], "|", [&](std::string_view item) {
        if ((first && item == "any") || item == caller.function)
            verdict = eLine::kAllowed;
        first = false;
        return verdict != eLine::kAllowed;
    });
    return verdict;
}

class cFileDescriptor
{
public:
    explicit cFileDescriptor(int fd) : fd_(fd) {}
    ~cFileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    cFileDescriptor(const cFileDescriptor &) = delete;
    cFileDescriptor &operator=(const cFileDescriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads the file in large blocks and hands each line (without its line feed) to visit until it returns false.
// Lines are views into one buffer: nothing is allocated per line; the buffer grows only for a line longer than
// itself. Stops at the end of the file or at a read error.
template <class Visit>
void ForEachLine(int fd, std::size_t capacity, Visit visit)
{
    std::unique_ptr<char[]> buffer(new char[capacity]);
    std::size_t held = 0; // bytes of the unfinished line at the start of the buffer
    for (;;)
    {
        if (held == capacity)
        {
            std::unique_ptr<char[]> larger(new char[capacity * 2]);
            std::memcpy(larger.get(), buffer.get(), held);
            buffer = std::move(larger);
            capacity *= 2;
        }
        const ssize_t got = ::read(fd, buffer.get() + held, capacity - held);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return;
        if (got == 0)
        {
            if (held > 0)
                visit(std::string_view(buffer.get(), held));
            return;
        }
        const std::size_t end = held + static_cast<std::size_t>(got);
        std::size_t start = 0;
        std::size_t scan = held;
        while (const void *lf = std::memchr(buffer.get() + scan, '\n', end - scan))
        {
            const std::size_t at = static_cast<const char *>(lf) - buffer.get();
            if (!visit(std::string_view(buffer.get() + start, at - start)))
                return;
            start = scan = at + 1;
        }
        held = end - start;
        std::memmove(buffer.get(), buffer.get() + start, held);
    }
}

// The verdict of the first line naming the caller's file, or why there is none. The file is closed on return, so
// before any denial is recorded.
eLine ReadVerdict(const char *path, std::string_view functionName, const fmx::ExprEnv &env)
{
    // open + fstat answer "is there a regular file" with one path look-up; O_NONBLOCK keeps a FIFO placed at the
    // path from blocking the calling thread (it is then refused as not a regular file).
    cFileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return cFileManager::fileExists(path) ? eLine::kUnreadable : eLine::kMissing;
    struct stat info;
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return eLine::kMissing;

    const std::string fileName = cFMUtils::evaluateCalculation("Get( fileName )", env);
    const cCaller caller{functionName, fileName};

    // One block holds a usual allow-list whole, so a single read finds the line.
    std::size_t capacity = kLargestFirstBuffer;
    if (info.st_size >= 0 && static_cast<unsigned long long>(info.st_size) + 1 < capacity)
        capacity = static_cast<std::size_t>(info.st_size) + 1;
    if (capacity < kSmallestBuffer)
        capacity = kSmallestBuffer;

    eLine verdict = eLine::kOtherFile;
    ForEachLine(file.get(), capacity, [&](std::string_view line) {
        verdict = CheckLine(line, caller);
        return verdict == eLine::kOtherFile;
    });
    return verdict;
}

bool Deny(const std::string &message, const fmx::ExprEnv &env, fmx::Data &result)
{
    SetLastError(kNotAllowedError, message, env);
    fmlib::SetTextResult(result, "?");
    return false;
}

}

std::vector<std::string> split(const std::string &text, const std::string &separator)
{
    std::vector<std::string> items;
    ForEachItem(text, separator, [&](std::string_view item) {
        items.emplace_back(item);
        return true;
    });
    return items;
}

bool isFunctionAllowed(std::string_view functionName, const fmx::ExprEnv &env, fmx::Data &result)
{
    switch (ReadVerdict(AllowListPath(), functionName, env))
    {
    case eLine::kAllowed:
        return true;
    case eLine::kMissing:
        return Deny(kAllowListMissing, env, result);
    case eLine::kUnreadable:
        return Deny(kAllowListUnreadable, env, result);
    case eLine::kOtherFile:
        return Deny(kAllowListNoLine, env, result);
    case eLine::kParseError:
        return Deny(kAllowListParseError, env, result);
    default:
        return Deny(NotAllowedMessage(functionName), env, result);
    }
}
}

bool cFileManager::fileExists(const char *path, long long *size)
{
    if (path == nullptr || *path == '\0')
        return false;
    struct stat info;
    if (::stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (size != nullptr)
        *size = static_cast<long long>(info.st_size);
    return true;
}
