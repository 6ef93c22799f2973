#include "core/RowVect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/BinaryData.h"
#include "core/Number.h"

namespace emu {
namespace {
// The values of a dropped row are made again for a later one: a large result then costs no allocation per field.
// Under AddressSanitizer they are freed instead, so that a plug-in reading a dropped row is caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kRecycle = false;
#else
constexpr bool kRecycle = true;
#endif
constexpr size_t kSpareRows = 64;
} // namespace

template <class Unit> uint64_t RowVect::cBlocks<Unit>::Add(const Unit *data, size_t count)
{
    if (count == 0)
        return 0;  // never looked up
    if (count > kBlock - used_) {
        blocks_.push_back(std::unique_ptr<Unit[]>(new Unit[std::max(count, kBlock)]));
        used_ = 0;
    }
    const uint64_t where = (static_cast<uint64_t>(blocks_.size() - 1) << 32) | used_;
    std::copy(data, data + count, blocks_.back().get() + used_);
    used_ = count > kBlock ? kBlock : used_ + count;
    return where;
}

RowVect &RowVect::operator=(RowVect &&other) noexcept
{
    if (this == &other)
        return *this;
    std::scoped_lock lock(mutex_, other.mutex_);
    fields_ = std::move(other.fields_);
    rowStarts_ = std::move(other.rowStarts_);
    texts_ = std::move(other.texts_);
    blobs_ = std::move(other.blobs_);
    live_ = std::move(other.live_);
    spare_ = std::move(other.spare_);
    liveOrder_ = std::move(other.liveOrder_);
    liveFields_ = other.liveFields_;
    other.liveFields_ = 0;
    return *this;
}

void RowVect::Clear()
{
    std::lock_guard lock(mutex_);
    fields_.clear();
    rowStarts_.clear();
    texts_.Clear();
    blobs_.Clear();
    live_.clear();
    spare_.clear();
    liveOrder_.clear();
    liveFields_ = 0;
}

void RowVect::StartRow() { rowStarts_.push_back(static_cast<uint32_t>(fields_.size())); }

void RowVect::AddNull() { fields_.push_back({0, 0, Kind::Null}); }

void RowVect::AddInteger(int64_t value) { fields_.push_back({static_cast<uint64_t>(value), 0, Kind::Integer}); }

void RowVect::AddReal(double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    fields_.push_back({bits, 0, Kind::Real});
}

void RowVect::AddText(std::u16string_view text)
{
    fields_.push_back({texts_.Add(text.data(), text.size()), static_cast<uint32_t>(text.size()), Kind::Text});
}

void RowVect::AddBlob(std::string_view bytes)
{
    fields_.push_back({blobs_.Add(bytes.data(), bytes.size()), static_cast<uint32_t>(bytes.size()), Kind::Blob});
}

void RowVect::Fill_(const Field &field, Value &value) const
{
    switch (field.kind) {
    case Kind::Integer:
        value.SetNumber(Number::FromInt(static_cast<int64_t>(field.bits)));
        break;
    case Kind::Real: {
        double real = 0;
        std::memcpy(&real, &field.bits, sizeof real);
        // A number cannot hold an infinity; its text keeps the value visible instead of losing it.
        if (std::isfinite(real))
            value.SetNumber(NumberFromReal(real));
        else
            value.SetText(real > 0 ? u"Inf" : u"-Inf");
        break;
    }
    case Kind::Text:
        value.SetText(field.length == 0 ? std::u16string_view() : std::u16string_view(texts_.At(field.bits), field.length));
        break;
    case Kind::Blob: {
        BinaryData binary;
        const char *bytes = field.length == 0 ? "" : blobs_.At(field.bits);
        binary.Add(QuadChar::Of("FILE"), reinterpret_cast<const uint8_t *>(bytes), field.length);
        value.SetBinary(binary);
        break;
    }
    case Kind::Null:
        value.SetText(std::u16string_view());
        break;
    }
}

const DataVect *RowVect::At(uint32_t row) const
{
    std::lock_guard lock(mutex_);
    if (row >= rowStarts_.size())
        return nullptr;
    if (live_.size() != rowStarts_.size())
        live_.resize(rowStarts_.size());
    if (live_[row] == nullptr) {
        const uint32_t first = rowStarts_[row];
        const uint32_t end = row + 1 < rowStarts_.size() ? rowStarts_[row + 1] : static_cast<uint32_t>(fields_.size());
        std::unique_ptr<DataVect> values = Values_(end - first);
        for (uint32_t i = first; i < end; ++i)
            Fill_(fields_[i], *values->At(i - first));
        liveOrder_.push_back(row);
        live_[row] = std::move(values);
        liveFields_ += end - first;
        Forget_();
    }
    return live_[row].get();
}

void RowVect::Forget_() const
{
    while (liveFields_ > kLiveFieldBudget && liveOrder_.size() > 1) {
        std::unique_ptr<DataVect> &oldest = live_[liveOrder_.front()];
        liveFields_ -= oldest->Size();
        if (kRecycle && spare_.size() < kSpareRows)
            spare_.push_back(std::move(oldest));
        oldest.reset();
        liveOrder_.pop_front();
    }
}

std::unique_ptr<DataVect> RowVect::Values_(uint32_t count) const
{
    std::unique_ptr<DataVect> values;
    if (!spare_.empty()) {
        values = std::move(spare_.back());
        spare_.pop_back();
        for (uint32_t i = 0; i < values->Size() && i < count; ++i)
            values->At(i)->Clear();
        while (values->Size() > count)
            values->PopBack();
    } else {
        values = std::make_unique<DataVect>();
        values->Reserve(count);
    }
    while (values->Size() < count)
        values->Emplace();
    return values;
}

} // namespace emu
