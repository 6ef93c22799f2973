#include "errors/AllowListLines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace vtl::allowlist
{
// text compared with head followed by tail, in the order of std::string_view's comparison.
int CompareJoined(std::string_view text, std::string_view head, std::string_view tail)
{
    const std::size_t shared = std::min(text.size(), head.size());
    if (const int order = text.substr(0, shared).compare(head.substr(0, shared)))
        return order;
    return text.size() < head.size() ? -1 : text.substr(shared).compare(tail);
}


cLineReader::cLineReader(int fd, long long expectedSize) : fd_(fd)
{
    capacity_ = kLongestLine + 1;
    if (expectedSize >= 0 && static_cast<unsigned long long>(expectedSize) + 1 < capacity_)
        capacity_ = std::max(kSmallestBuffer, static_cast<std::size_t>(expectedSize) + 1);
    buffer_.reset(new char[capacity_]);
}

cLineReader::eRead cLineReader::next(std::string_view &line)
{
    for (;;)
    {
        if (const void *lf = std::memchr(buffer_.get() + scan_, '\n', end_ - scan_))
        {
            const std::size_t at = static_cast<const char *>(lf) - buffer_.get();
            line = std::string_view(buffer_.get() + start_, at - start_);
            start_ = scan_ = at + 1;
            return line.size() > kLongestLine ? kTooLong : kLine;
        }
        scan_ = end_;
        if (end_ - start_ > kLongestLine)
            return kTooLong;
        if (atEnd_)
        {
            if (start_ == end_)
                return kEnd;
            line = std::string_view(buffer_.get() + start_, end_ - start_);
            start_ = scan_ = end_;
            return kLine;
        }
        fill();
    }
}

void cLineReader::fill()
{
    std::memmove(buffer_.get(), buffer_.get() + start_, end_ - start_);
    end_ -= start_;
    scan_ -= start_;
    start_ = 0;
    if (end_ == capacity_) // the file grew since its size was taken
    {
        const std::size_t larger = std::min(capacity_ * 2, kLongestLine + 1);
        std::unique_ptr<char[]> buffer(new char[larger]);
        std::memcpy(buffer.get(), buffer_.get(), end_);
        buffer_ = std::move(buffer);
        capacity_ = larger;
    }
    for (;;)
    {
        const ssize_t got = ::read(fd_, buffer_.get() + end_, capacity_ - end_);
        if (got < 0 && errno == EINTR)
            continue;
        if (got > 0)
            end_ += static_cast<std::size_t>(got);
        else if (got == 0)
            atEnd_ = true;
        else // a read error ends the file where it stands, without the unfinished line
            atEnd_ = true, end_ = start_;
        return;
    }
}

// Records the first malformed line of a reading, and gives back what is wrong with it.
std::string Fault(cParse &parse, std::size_t index, std::string detail)
{
    if (parse.faultLine == 0)
    {
        parse.faultLine = index + 1;
        parse.faultDetail = detail;
    }
    return detail;
}
} // namespace vtl::allowlist
