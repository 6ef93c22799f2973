#include "iOS_SupportFunctions/WideText.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace fmlib
{
namespace
{
// 32 KiB: a piece is still in the first-level cache when it is searched.
constexpr fmx::uint32 kPieceUnits = 16 * 1024;
}

size_t FindZeroUnit(const char16_t *units, size_t size)
{
    size_t k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    auto hasZero = [&](size_t at) {
        return _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(units + at)), zero);
    };
    for (; k + 32 <= size; k += 32)
    {
        const __m128i any = _mm_or_si128(_mm_or_si128(hasZero(k), hasZero(k + 8)),
                                         _mm_or_si128(hasZero(k + 16), hasZero(k + 24)));
        if (_mm_movemask_epi8(any) != 0)
            break;
    }
#endif
    for (; k < size; ++k)
        if (units[k] == 0)
            return k;
    return size;
}

cTextUnits::cTextUnits(const fmx::Text &text)
{
    const fmx::uint32 size = text.GetSize();
    if (size == 0)
        return;
    units_.reset(new char16_t[size]);
    for (fmx::uint32 piece = 0; piece < size; piece += kPieceUnits)
    {
        const fmx::uint32 length = std::min(kPieceUnits, size - piece);
        char16_t *start = units_.get() + piece;
        text.GetUnicode(reinterpret_cast<fmx::uint16 *>(start), piece, length);
        const size_t zero = FindZeroUnit(start, length);
        size_ = piece + zero;
        if (zero < length)
            return;
    }
}

std::wstring WStringFromFMText(const fmx::Text &text)
{
    const cTextUnits units(text);
    return std::wstring(units.View().begin(), units.View().end());
}
}
