#include "errors/AllowList.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "errors/AllowListLines.h"
#include "errors/AllowListOptions.h"
#include "errors/AllowListPath.h"
#include "errors/ErrorCodes.h"
#include "errors/LastError.h"
#include "host/FMUtils.h"
#include "iOS_SupportFunctions/HostValues.h"
#include "journal/Journal.h"

namespace vtl
{
using namespace allowlist;

namespace
{
enum class eLine
{
    kOtherFile,
    kParseError,
    kLineTooLong,
    kUnknownOption,
    kAllowed,
    kNotAllowed,
    kMissing,
    kUnreadable
};

// Files up to this size are kept parsed between calls; larger ones are read afresh, only up to the caller's line.
constexpr std::size_t kLargestKept = 1024 * 1024;
// File systems stamp changes with a coarse clock (a jiffy; whole seconds, or two, on some). A file changed less than
// this before it was read may change again under the same time stamps, so such a reading is not trusted later.
constexpr long long kSettleNanoseconds = 2'000'000'000LL;

// The calling file's name, asked from the host only when it is needed.
class cCaller
{
public:
    cCaller(std::string_view function, const fmx::ExprEnv &env) : function_(function), env_(env) {}
    std::string_view function() const { return function_; }
    const std::string &file()
    {
        if (!evaluated_)
        {
            file_ = cFMUtils::callingFileName(env_);
            evaluated_ = true;
        }
        return file_;
    }

private:
    std::string_view function_;
    const fmx::ExprEnv &env_;
    std::string file_;
    bool evaluated_ = false;
};

// A line's file field names the file with or without the extension.
bool NamesFile(std::string_view field, std::string_view file)
{
    return CompareJoined(field, file, {}) == 0 || CompareJoined(field, file, kExtension) == 0;
}

// The verdict of the line naming the caller's file, from its list of functions.
eLine CheckList(std::string_view list, std::string_view function)
{
    if (list.empty())
        return eLine::kParseError;
    eLine verdict = eLine::kNotAllowed;
    bool first = true;
    ForEachItem(list, "|", [&](std::string_view item) {
        if ((first && item == "any") || item == function)
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

eLine VerdictAtEnd(eEnd end)
{
    switch (end)
    {
    case eEnd::kParseError:
        return eLine::kParseError;
    case eEnd::kLineTooLong:
        return eLine::kLineTooLong;
    case eEnd::kUnknownOption:
        return eLine::kUnknownOption;
    default:
        return eLine::kOtherFile;
    }
}

// The outcome of the check for one caller.
struct cVerdict
{
    eLine line = eLine::kOtherFile;
    std::size_t lineNumber = 0; // the caller's line, or the malformed one (counted from 1; 0 when none)
    std::string detail;         // why the file is malformed or could not be opened
    cAllowListOptions options;  // the file's options (the defaults when there is no file or they cannot be read)
};

cVerdict Denial(eLine line)
{
    cVerdict verdict;
    verdict.line = line;
    return verdict;
}

cVerdict Allowed(const cAllowListOptions &options = {})
{
    cVerdict verdict;
    verdict.line = eLine::kAllowed;
    verdict.options = options;
    return verdict;
}

// The verdict of the caller's line: index is its position in the file.
cVerdict FromLine(std::string_view list, std::size_t index, std::string_view function, const cParse &parse)
{
    cVerdict verdict;
    verdict.line = CheckList(list, function);
    verdict.lineNumber = index + 1;
    verdict.options = parse.options;
    if (verdict.line == eLine::kParseError)
        verdict.detail = "the list of functions is empty";
    return verdict;
}

// The verdict when no line names the caller's file before the reading ended.
cVerdict AtEnd(eEnd end, const cParse &parse)
{
    cVerdict verdict;
    verdict.line = VerdictAtEnd(end);
    verdict.lineNumber = parse.faultLine;
    verdict.detail = parse.faultDetail;
    // Options of a line that did not parse are not trusted: the defaults stay in force.
    if (end != eEnd::kUnknownOption)
        verdict.options = parse.options;
    return verdict;
}

// The shell command is governed only when the file opts in, and never by a file whose options cannot be read.
bool ShellPassesFreely(bool shell, eEnd end, const cParse &parse)
{
    return shell && !parse.options.shellCommandObeysAllowList && end != eEnd::kUnknownOption;
}

// What a file's content and time stamps looked like when it was last read, with its lines for file names.
struct cReading
{
    struct cLine
    {
        std::string_view file;
        std::string_view list;
        std::size_t index; // position in the file: the first line naming a file counts
    };

    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified = {};
    struct timespec changed = {};

    std::string text;           // the lines' bytes; the views point into it
    std::vector<cLine> byName;  // the first line of each name, sorted by name
    eEnd end = eEnd::kEndOfFile;
    cParse parse;

    bool describes(const struct stat &info) const
    {
        return info.st_dev == device && info.st_ino == inode && info.st_size == size &&
               info.st_mtim.tv_sec == modified.tv_sec && info.st_mtim.tv_nsec == modified.tv_nsec &&
               info.st_ctim.tv_sec == changed.tv_sec && info.st_ctim.tv_nsec == changed.tv_nsec;
    }

    // The line of the name head + tail, without building that name.
    const cLine *find(std::string_view head, std::string_view tail = {}) const
    {
        const auto at = std::lower_bound(byName.begin(), byName.end(), 0, [&](const cLine &line, int) {
            return CompareJoined(line.file, head, tail) < 0;
        });
        return at != byName.end() && CompareJoined(at->file, head, tail) == 0 ? &*at : nullptr;
    }

    // shell: the caller is the shell command, which the file governs only when it opts in.
    cVerdict verdict(cCaller &caller, bool shell) const
    {
        if (ShellPassesFreely(shell, end, parse))
            return Allowed(parse.options);
        const std::string &file = caller.file();
        const cLine *plain = find(file);
        const cLine *withExtension = find(file, kExtension);
        const cLine *first = plain;
        if (first == nullptr || (withExtension != nullptr && withExtension->index < first->index))
            first = withExtension;
        return first != nullptr ? FromLine(first->list, first->index, caller.function(), parse) : AtEnd(end, parse);
    }
};

long long Nanoseconds(const struct timespec &time)
{
    return static_cast<long long>(time.tv_sec) * 1'000'000'000LL + time.tv_nsec;
}

// Whether any later change is sure to show in the file's time stamps.
bool Settled(const struct stat &info, const struct timespec &readStart)
{
    const long long latest = std::max(Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim));
    return latest < Nanoseconds(readStart) - kSettleNanoseconds;
}

// The whole file, parsed; nullptr when it outgrew kLargestKept while being read.
std::shared_ptr<const cReading> ReadWhole(int fd, const struct stat &info)
{
    auto reading = std::make_shared<cReading>();
    reading->device = info.st_dev;
    reading->inode = info.st_ino;
    reading->size = info.st_size;
    reading->modified = info.st_mtim;
    reading->changed = info.st_ctim;

    struct cRange
    {
        std::size_t file, fileSize, list, listSize, index;
    };
    std::vector<cRange> ranges;
    std::string &text = reading->text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    cLineReader reader(fd, info.st_size);
    reading->end = ReadLines(reader, reading->parse,
                             [&](std::size_t index, std::string_view file, std::string_view list) {
                                 if (text.size() + file.size() + list.size() > kLargestKept)
                                     return false;
                                 ranges.push_back({text.size(), file.size(), text.size() + file.size(), list.size(), index});
                                 text.append(file).append(list);
                                 return true;
                             });
    if (reading->end == eEnd::kStopped)
        return nullptr;

    reading->byName.reserve(ranges.size());
    for (const cRange &range : ranges)
        reading->byName.push_back({std::string_view(text).substr(range.file, range.fileSize),
                                   std::string_view(text).substr(range.list, range.listSize), range.index});
    // Stable: among lines of one name the first stays first, and only it is kept.
    std::stable_sort(reading->byName.begin(), reading->byName.end(),
                     [](const cReading::cLine &a, const cReading::cLine &b) { return a.file < b.file; });
    reading->byName.erase(std::unique(reading->byName.begin(), reading->byName.end(),
                                      [](const cReading::cLine &a, const cReading::cLine &b) { return a.file == b.file; }),
                          reading->byName.end());
    return reading;
}

std::atomic<unsigned long> gFileReads{0};

// The last reading, shared by all threads. Readings are never changed once published: a thread holds its own
// reference for the length of its check, and a newer reading replaces the pointer only. The pointer is copied under
// a spin lock held for a few instructions: std::atomic_load of a shared_ptr takes a mutex from the library's pool,
// which costs every call two more atomic operations and two calls into other libraries.
class cLastReading
{
public:
    std::shared_ptr<const cReading> load() const
    {
        const cHold hold(lock_);
        return reading_;
    }
    void store(std::shared_ptr<const cReading> reading)
    {
        {
            const cHold hold(lock_);
            reading_.swap(reading);
        }
        // the reading replaced is released here, outside the lock
    }

private:
    class cHold
    {
    public:
        explicit cHold(std::atomic_flag &lock) : lock_(lock)
        {
            while (lock_.test_and_set(std::memory_order_acquire))
                std::this_thread::yield();
        }
        ~cHold() { lock_.clear(std::memory_order_release); }
        cHold(const cHold &) = delete;
        cHold &operator=(const cHold &) = delete;

    private:
        std::atomic_flag &lock_;
    };

    mutable std::atomic_flag lock_ = ATOMIC_FLAG_INIT;
    std::shared_ptr<const cReading> reading_;
};

cLastReading gLastReading;

// The verdict from a large file (or one that grew beyond kLargestKept while being read), read up to the caller's
// line.
cVerdict ReadVerdict(int fd, long long size, cCaller &caller, bool shell)
{
    cParse parse;
    cVerdict verdict;
    bool decided = false;
    cLineReader reader(fd, size);
    const eEnd end = ReadLines(reader, parse, [&](std::size_t index, std::string_view file, std::string_view list) {
        if (ShellPassesFreely(shell, eEnd::kEndOfFile, parse))
            verdict = Allowed(parse.options), decided = true;
        else if (NamesFile(file, caller.file()))
            verdict = FromLine(list, index, caller.function(), parse), decided = true;
        return !decided;
    });
    if (decided)
        return verdict;
    return ShellPassesFreely(shell, end, parse) ? Allowed(parse.options) : AtEnd(end, parse);
}

// The file could not be opened: missing, or there but unreadable (error is open's errno).
cVerdict NotOpened(const char *path, int error)
{
    cVerdict verdict;
    if (!cFileManager::fileExists(path))
        return Denial(eLine::kMissing);
    verdict.line = eLine::kUnreadable;
    char buffer[128];
    verdict.detail = ::strerror_r(error, buffer, sizeof buffer);
    return verdict;
}

// The verdict for the caller. shell: the shell command, which the allow-list governs only when the file opts in.
cVerdict Verdict(const char *path, cCaller &caller, bool shell)
{
    struct stat info;
    const std::shared_ptr<const cReading> last = gLastReading.load();
    if (last != nullptr && ::stat(path, &info) == 0 && S_ISREG(info.st_mode) && last->describes(info))
        return last->verdict(caller, shell);

    struct timespec readStart;
    ::clock_gettime(CLOCK_REALTIME, &readStart);
    // open + fstat answer "is there a regular file" with one path look-up; O_NONBLOCK keeps a FIFO placed at the
    // path from blocking the calling thread (it is then refused as not a regular file).
    cFileDescriptor file(::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        return shell ? Allowed() : NotOpened(path, errno);
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return shell ? Allowed() : Denial(eLine::kMissing);
    if (!shell)
        caller.file(); // asked before the file is read, whatever it holds
    gFileReads.fetch_add(1, std::memory_order_relaxed);

    // Only a reading that later changes cannot hide from is kept; until then the file is read up to the caller's
    // line on every call, as a large one always is.
    if (info.st_size >= 0 && static_cast<unsigned long long>(info.st_size) <= kLargestKept && Settled(info, readStart))
    {
        const std::shared_ptr<const cReading> reading = ReadWhole(file.get(), info);
        if (reading != nullptr)
        {
            gLastReading.store(reading);
            return reading->verdict(caller, shell);
        }
        if (::lseek(file.get(), 0, SEEK_SET) != 0)
            return shell ? Allowed() : cVerdict();
    }
    return ReadVerdict(file.get(), info.st_size, caller, shell);
}

bool Deny(const std::string &message, const fmx::ExprEnv &env, fmx::Data &result)
{
    SetLastError(kNotAllowedError, message, env);
    fmlib::SetTextResult(result, "?");
    return false;
}

}

namespace
{
// Tells the administrator why a call was refused: a fault of the file itself, or the file's say for this caller.
void SendDenialLine(const cVerdict &verdict, cCaller &caller, const char *path)
{
    const bool refusal = verdict.line == eLine::kOtherFile || verdict.line == eLine::kNotAllowed;
    cJournalLine line = refusal ? cJournalLine(eJournalKind::kRefusedCall, caller.file(), caller.function())
                                : cJournalLine(eJournalKind::kAllowListFault, {}, {});
    if (!line)
        return;
    std::string text;
    switch (verdict.line)
    {
    case eLine::kOtherFile:
    case eLine::kNotAllowed:
        text = "refused " + std::string(caller.function()) + " in file " + caller.file() + ": ";
        text += verdict.line == eLine::kOtherFile
                    ? std::string("the allow-list has no line for the file")
                    : "line " + std::to_string(verdict.lineNumber) + " of the allow-list does not name it";
        line.send(text);
        return;
    case eLine::kMissing:
        text = std::string("allow-list ") + path + " does not exist (or is no regular file)";
        break;
    case eLine::kUnreadable:
        text = std::string("allow-list ") + path + " cannot be opened: " + verdict.detail;
        break;
    default:
        text = std::string("allow-list ") + path + ", line " + std::to_string(verdict.lineNumber) + ": " +
               verdict.detail;
        break;
    }
    line.send(text + "; calls are refused");
}

// The journal never changes the caller's outcome: out of memory, its line is lost.
void JournalDenial(const cVerdict &verdict, cCaller &caller, const char *path) noexcept
{
    try
    {
        SendDenialLine(verdict, caller, path);
    }
    catch (...)
    {
    }
}

bool Check(std::string_view functionName, const fmx::ExprEnv &env, fmx::Data &result, bool shell,
           cAllowListOptions *options)
{
    cCaller caller(functionName, env);
    const char *path = AllowListPath();
    const cVerdict verdict = Verdict(path, caller, shell);
    if (JournalOn() != verdict.options.journal) // stored only on a change: no shared write on every call
        SetJournalOn(verdict.options.journal);
    if (options != nullptr)
        *options = verdict.options;
    if (verdict.line != eLine::kAllowed)
        JournalDenial(verdict, caller, path);
    switch (verdict.line)
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
    case eLine::kLineTooLong:
        return Deny(kAllowListLineTooLong, env, result);
    case eLine::kUnknownOption:
        return Deny(kAllowListUnknownOption, env, result);
    default:
        return Deny(NotAllowedMessage(functionName), env, result);
    }
}
}

bool isFunctionAllowed(std::string_view functionName, const fmx::ExprEnv &env, fmx::Data &result)
{
    return Check(functionName, env, result, false, nullptr);
}

bool isShellCommandAllowed(const fmx::ExprEnv &env, fmx::Data &result, cAllowListOptions *options)
{
    return Check(kShellCommandName, env, result, true, options);
}

unsigned long AllowListFileReads()
{
    return gFileReads.load(std::memory_order_relaxed);
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
