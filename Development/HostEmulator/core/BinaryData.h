// Container values: a set of typed streams, at most one per four-character type.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace emu {

struct QuadChar
{
    uint8_t c[4] = {0, 0, 0, 0};

    uint32_t MacType() const { return uint32_t(c[0]) << 24 | uint32_t(c[1]) << 16 | uint32_t(c[2]) << 8 | c[3]; }
    void SetMacType(uint32_t v)
    {
        c[0] = uint8_t(v >> 24); c[1] = uint8_t(v >> 16); c[2] = uint8_t(v >> 8); c[3] = uint8_t(v);
    }
    bool operator==(const QuadChar &o) const { return MacType() == o.MacType(); }
    bool operator<(const QuadChar &o) const { return MacType() < o.MacType(); }
    std::string ToString() const { return std::string(reinterpret_cast<const char *>(c), 4); }
    static QuadChar Of(const char *four);
};

class BinaryData
{
public:
    struct Stream
    {
        QuadChar type;
        std::vector<uint8_t> bytes;
    };

    const std::vector<Stream> &Streams() const { return streams_; }
    bool Empty() const { return streams_.empty(); }
    int32_t IndexOf(const QuadChar &type) const;  // -1 when absent
    uint32_t TotalSize() const;
    // Adds a stream; false when a stream of that type exists already.
    bool Add(const QuadChar &type, const uint8_t *bytes, size_t size);
    bool Remove(const QuadChar &type);
    void Clear() { streams_.clear(); pending_.clear(); }

    // Streams added piece by piece: Begin hands out a context, Finish adds the stream.
    bool Begin(const QuadChar &type, uint32_t &context);
    bool AppendTo(uint32_t context, const uint8_t *bytes, size_t size);
    bool Finish(uint32_t context);

    // The file name stored in the FNAM stream (UTF-8 bytes), empty when there is none.
    std::u16string FileName() const;

    bool operator==(const BinaryData &o) const;

private:
    std::vector<Stream> streams_;
    std::vector<std::pair<uint32_t, Stream>> pending_;
    uint32_t nextContext_ = 1;
};

} // namespace emu
