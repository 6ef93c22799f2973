// FM_BinaryData_*: container values.
#include <cstring>

#include "core/Encoding.h"
#include "core/Sdk.h"

using namespace emu;
using namespace emu::sdk;
using fmx::_fmxcpt;

namespace {

const QuadChar kFileName = QuadChar::Of("FNAM");
const QuadChar kSize = QuadChar::Of("SIZE");
const QuadChar kFile = QuadChar::Of("FILE");

const BinaryData::Stream *StreamAt(const BinaryData &b, fmx::int32 index)
{
    if (index < 0 || static_cast<size_t>(index) >= b.Streams().size())
        return nullptr;
    return &b.Streams()[static_cast<size_t>(index)];
}

const BinaryData::Stream &CheckedStreamAt(const BinaryData &b, fmx::int32 index)
{
    const BinaryData::Stream *s = StreamAt(b, index);
    if (!s)
        throw std::out_of_range("stream index");
    return *s;
}

fmx::errcode Answer(bool ok) { return ok ? fmx::errcode(0) : kErrUnknown; }

std::string Utf8Of(const fmx::Text &text) { return Utf16ToUtf8(Obj(text).Chars()); }

bool AddFileName(BinaryData &b, const fmx::Text &name)
{
    const std::string bytes = Utf8Of(name);
    return b.Add(kFileName, reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
}

} // namespace

extern "C" {

fmx::BinaryData *FM_BinaryData_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::BinaryData *>(nullptr), [] { return Fmx<fmx::BinaryData>(new BinaryData); });
}

fmx::BinaryData *FM_BinaryData_Constructor2(const fmx::BinaryData &sourceData, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::BinaryData *>(nullptr),
                 [&] { return Fmx<fmx::BinaryData>(new BinaryData(Obj(sourceData))); });
}

// A file container: the name in FNAM, the bytes in FILE.
fmx::BinaryData *FM_BinaryData_Constructor3(const fmx::Text &name, fmx::uint32 amount, void *buffer,
                                            _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::BinaryData *>(nullptr), [&] {
        auto b = std::make_unique<BinaryData>();
        if (!AddFileName(*b, name) || !b->Add(kFile, static_cast<const uint8_t *>(buffer), amount))
            throw std::invalid_argument("container data");
        return Fmx<fmx::BinaryData>(b.release());
    });
}

fmx::BinaryData *FM_BinaryData_Constructor4(const fmx::Text &name, fmx::uint32 *context, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::BinaryData *>(nullptr), [&] {
        auto b = std::make_unique<BinaryData>();
        fmx::uint32 ctx = 0;
        if (!context || !AddFileName(*b, name) || !b->Begin(kFile, ctx))
            throw std::invalid_argument("container data");
        *context = ctx;
        return Fmx<fmx::BinaryData>(b.release());
    });
}

void FM_BinaryData_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<BinaryData *>(_self); }

fmx::BinaryData *FM_BinaryData_operatorAS(void *_self, const fmx::BinaryData &source, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::BinaryData *>(nullptr), [&] {
        BinaryData &b = Self<fmx::BinaryData>(_self);
        if (&b != &Obj(source))
            b = Obj(source);
        return Fmx<fmx::BinaryData>(&b);
    });
}

bool FM_BinaryData_operatorEQ(const void *_self, const fmx::BinaryData &compareData, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::BinaryData>(_self) == Obj(compareData); });
}

bool FM_BinaryData_operatorNE(const void *_self, const fmx::BinaryData &compareData, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return !(Self<fmx::BinaryData>(_self) == Obj(compareData)); });
}

fmx::int32 FM_BinaryData_GetCount(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int32(0),
                 [&] { return static_cast<fmx::int32>(Self<fmx::BinaryData>(_self).Streams().size()); });
}

fmx::int32 FM_BinaryData_GetIndex(const void *_self, const fmx::QuadChar &dataType, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::int32(-1), [&] { return Self<fmx::BinaryData>(_self).IndexOf(Obj(dataType)); });
}

fmx::uint32 FM_BinaryData_GetTotalSize(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0u, [&] { return Self<fmx::BinaryData>(_self).TotalSize(); });
}

void FM_BinaryData_GetType(const void *_self, fmx::int32 index, fmx::QuadChar &dataType, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Obj(dataType) = CheckedStreamAt(Self<fmx::BinaryData>(_self), index).type; });
}

fmx::uint32 FM_BinaryData_GetSize(const void *_self, fmx::int32 index, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0u, [&] {
        const BinaryData::Stream *s = StreamAt(Self<fmx::BinaryData>(_self), index);
        return s ? static_cast<fmx::uint32>(s->bytes.size()) : 0u;
    });
}

fmx::errcode FM_BinaryData_GetData(const void *_self, fmx::int32 index, fmx::uint32 offset, fmx::uint32 amount,
                                   void *buffer, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        const BinaryData::Stream *s = StreamAt(Self<fmx::BinaryData>(_self), index);
        if (!s || offset > s->bytes.size() || amount > s->bytes.size() - offset || (amount != 0 && !buffer))
            return kErrUnknown;
        if (amount != 0)
            std::memcpy(buffer, s->bytes.data() + offset, amount);
        return fmx::errcode(0);
    });
}

fmx::errcode FM_BinaryData_Add(void *_self, const fmx::QuadChar &dataType, fmx::uint32 amount, void *buffer,
                               _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        return Answer(Self<fmx::BinaryData>(_self).Add(Obj(dataType), static_cast<const uint8_t *>(buffer), amount));
    });
}

bool FM_BinaryData_Remove(void *_self, const fmx::QuadChar &dataType, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return Self<fmx::BinaryData>(_self).Remove(Obj(dataType)); });
}

void FM_BinaryData_RemoveAll(void *_self, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::BinaryData>(_self).Clear(); });
}

fmx::errcode FM_BinaryData_GetFNAMData(const void *_self, fmx::Text &filepathlist, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        const BinaryData &b = Self<fmx::BinaryData>(_self);
        if (b.IndexOf(kFileName) < 0)
            return kErrUnknown;
        Obj(filepathlist).Assign(b.FileName());
        return fmx::errcode(0);
    });
}

fmx::errcode FM_BinaryData_AddFNAMData(void *_self, const fmx::Text &filepathlist, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] { return Answer(AddFileName(Self<fmx::BinaryData>(_self), filepathlist)); });
}

// SIZE holds height and width as two big-endian 16-bit values.
fmx::errcode FM_BinaryData_GetSIZEData(const void *_self, short &width, short &height, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        const BinaryData &b = Self<fmx::BinaryData>(_self);
        const BinaryData::Stream *s = StreamAt(b, b.IndexOf(kSize));
        if (!s || s->bytes.size() < 4)
            return kErrUnknown;
        height = static_cast<short>(s->bytes[0] << 8 | s->bytes[1]);
        width = static_cast<short>(s->bytes[2] << 8 | s->bytes[3]);
        return fmx::errcode(0);
    });
}

fmx::errcode FM_BinaryData_AddSIZEData(void *_self, short width, short height, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        const uint8_t bytes[4] = {uint8_t(uint16_t(height) >> 8), uint8_t(height), uint8_t(uint16_t(width) >> 8),
                                  uint8_t(width)};
        return Answer(Self<fmx::BinaryData>(_self).Add(kSize, bytes, sizeof bytes));
    });
}

fmx::errcode FM_BinaryData_AddBegin(void *_self, const fmx::QuadChar &dataType, fmx::uint32 *context,
                                    _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        fmx::uint32 ctx = 0;
        if (!context || !Self<fmx::BinaryData>(_self).Begin(Obj(dataType), ctx))
            return kErrUnknown;
        *context = ctx;
        return fmx::errcode(0);
    });
}

fmx::errcode FM_BinaryData_AddAppend(void *_self, fmx::uint32 context, fmx::uint32 amount, void *buffer,
                                     _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        return Answer(Self<fmx::BinaryData>(_self).AppendTo(context, static_cast<const uint8_t *>(buffer), amount));
    });
}

fmx::errcode FM_BinaryData_AddFinish(void *_self, fmx::uint32 context, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] { return Answer(Self<fmx::BinaryData>(_self).Finish(context)); });
}

} // extern "C"
