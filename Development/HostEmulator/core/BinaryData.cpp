#include "core/BinaryData.h"

#include <algorithm>

#include "core/Encoding.h"

namespace emu {

QuadChar QuadChar::Of(const char *four)
{
    QuadChar q;
    for (int i = 0; i < 4 && four[i]; ++i)
        q.c[i] = static_cast<uint8_t>(four[i]);
    return q;
}

int32_t BinaryData::IndexOf(const QuadChar &type) const
{
    for (size_t i = 0; i < streams_.size(); ++i)
        if (streams_[i].type == type)
            return static_cast<int32_t>(i);
    return -1;
}

uint32_t BinaryData::TotalSize() const
{
    uint64_t total = 0;
    for (const auto &s : streams_)
        total += s.bytes.size();
    return static_cast<uint32_t>(std::min<uint64_t>(total, 0xFFFFFFFFu));
}

bool BinaryData::Add(const QuadChar &type, const uint8_t *bytes, size_t size)
{
    if (IndexOf(type) >= 0 || (size != 0 && bytes == nullptr))
        return false;
    Stream s;
    s.type = type;
    if (size != 0)
        s.bytes.assign(bytes, bytes + size);
    streams_.push_back(std::move(s));
    return true;
}

bool BinaryData::Remove(const QuadChar &type)
{
    const int32_t i = IndexOf(type);
    if (i < 0)
        return false;
    streams_.erase(streams_.begin() + i);
    return true;
}

bool BinaryData::Begin(const QuadChar &type, uint32_t &context)
{
    if (IndexOf(type) >= 0)
        return false;
    for (const auto &p : pending_)
        if (p.second.type == type)
            return false;
    context = nextContext_++;
    Stream s;
    s.type = type;
    pending_.emplace_back(context, std::move(s));
    return true;
}

bool BinaryData::AppendTo(uint32_t context, const uint8_t *bytes, size_t size)
{
    if (size != 0 && bytes == nullptr)
        return false;
    for (auto &p : pending_)
        if (p.first == context)
        {
            p.second.bytes.insert(p.second.bytes.end(), bytes, bytes + size);
            return true;
        }
    return false;
}

bool BinaryData::Finish(uint32_t context)
{
    for (auto it = pending_.begin(); it != pending_.end(); ++it)
        if (it->first == context)
        {
            streams_.push_back(std::move(it->second));
            pending_.erase(it);
            return true;
        }
    return false;
}

std::u16string BinaryData::FileName() const
{
    const int32_t i = IndexOf(QuadChar::Of("FNAM"));
    if (i < 0)
        return std::u16string();
    const auto &b = streams_[static_cast<size_t>(i)].bytes;
    return Utf8ToUtf16(std::string_view(reinterpret_cast<const char *>(b.data()), b.size()));
}

bool BinaryData::operator==(const BinaryData &o) const
{
    if (streams_.size() != o.streams_.size())
        return false;
    for (size_t i = 0; i < streams_.size(); ++i)
        if (!(streams_[i].type == o.streams_[i].type) || streams_[i].bytes != o.streams_[i].bytes)
            return false;
    return true;
}

} // namespace emu
