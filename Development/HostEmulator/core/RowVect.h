// The rows of an SQL result (fmx::RowVect), kept compact: a large result holds millions of fields, and a host value
// per field would cost an order of magnitude more memory than the result's text.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/Value.h"

namespace emu {

class RowVect
{
public:
    // Host values are made for a row when it is first read. Rows read longest ago are dropped once more than this
    // many fields are held as values; dropping one needs at least one other row read since, so smaller results
    // keep every row a plug-in has read for as long as the result lives.
    static constexpr size_t kLiveFieldBudget = 16384;

    RowVect() = default;
    RowVect(RowVect &&other) noexcept { *this = std::move(other); }
    RowVect &operator=(RowVect &&other) noexcept;
    RowVect(const RowVect &) = delete;
    RowVect &operator=(const RowVect &) = delete;

    uint32_t Size() const { return static_cast<uint32_t>(rowStarts_.size()); }
    // The row's values, or null past the end. The reference stays valid while the result lives, unless more than
    // kLiveFieldBudget fields of rows read later are held by then.
    const DataVect *At(uint32_t row) const;
    void Clear();

    // Building a result: StartRow, then one Add* per field of the row.
    void StartRow();
    void AddNull();
    void AddInteger(int64_t value);
    void AddReal(double value);
    void AddText(std::u16string_view text);
    void AddBlob(std::string_view bytes);

private:
    enum class Kind : uint8_t { Null, Integer, Real, Text, Blob };
    struct Field
    {
        uint64_t bits;    // the integer or the double's bits, or the offset of a text or blob in its store
        uint32_t length;  // of a text or blob
        Kind kind;
    };

    // Texts and blobs, stored in blocks that never move: growing one large buffer would copy it over and over.
    template <class Unit> class cBlocks
    {
    public:
        uint64_t Add(const Unit *data, size_t count);  // answers where the units are
        const Unit *At(uint64_t where) const { return blocks_[where >> 32].get() + (where & 0xffffffffu); }
        void Clear() { blocks_.clear(); used_ = kBlock; }

    private:
        static constexpr size_t kBlock = 32768;  // units; a longer text gets a block of its own
        std::vector<std::unique_ptr<Unit[]>> blocks_;
        size_t used_ = kBlock;  // in the last block
    };

    void Fill_(const Field &field, Value &value) const;
    void Forget_() const;  // drops the rows read longest ago while over budget
    std::unique_ptr<DataVect> Values_(uint32_t count) const;  // count empty values, recycled when possible

    std::deque<Field> fields_;
    std::deque<uint32_t> rowStarts_;  // index of each row's first field
    cBlocks<char16_t> texts_;
    cBlocks<char> blobs_;

    mutable std::mutex mutex_;  // reading a row builds its values
    mutable std::vector<std::unique_ptr<DataVect>> live_;  // per row, the values made for it (or null)
    mutable std::vector<std::unique_ptr<DataVect>> spare_; // values of dropped rows, made again for later rows
    mutable std::deque<uint32_t> liveOrder_;                // rows with values, in the order they were read
    mutable size_t liveFields_ = 0;
};

} // namespace emu
