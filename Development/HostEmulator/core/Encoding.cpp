#include "core/Encoding.h"

#include <algorithm>
#include <array>

namespace emu {
namespace {

enum : int32_t { kNative = 0, kUtf8 = 1, kWindows = 3, kMacRoman = 4, kLatin1 = 5, kLatin9 = 36 };

// Upper halves (0x80..0xFF) of the single-byte encodings.
constexpr std::array<char16_t, 128> kMacRomanHigh = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7,
    0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4, 0x00F6, 0x00F5,
    0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9,
    0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211,
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248,
    0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7,
    0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4,
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD,
    0x02DB, 0x02C7};

constexpr std::array<char16_t, 32> kWindows80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D,
    0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178};

char16_t SingleByteToUnit(uint8_t b, int32_t encoding)
{
    if (b < 0x80)
        return b;
    switch (encoding)
    {
    case kMacRoman:
        return kMacRomanHigh[b - 0x80];
    case kWindows:
        return b < 0xA0 ? kWindows80[b - 0x80] : b;
    case kLatin9:
        switch (b)
        {
        case 0xA4: return 0x20AC;
        case 0xA6: return 0x0160;
        case 0xA8: return 0x0161;
        case 0xB4: return 0x017D;
        case 0xB8: return 0x017E;
        case 0xBC: return 0x0152;
        case 0xBD: return 0x0153;
        case 0xBE: return 0x0178;
        default: return b;
        }
    default:
        return b;
    }
}

// Reverse look-up for the single-byte encodings; '?' for a character the encoding lacks.
char UnitToSingleByte(char32_t cp, int32_t encoding)
{
    if (cp < 0x80)
        return static_cast<char>(cp);
    for (int b = 0x80; b <= 0xFF; ++b)
        if (SingleByteToUnit(static_cast<uint8_t>(b), encoding) == cp)
            return static_cast<char>(b);
    return '?';
}

bool IsUtf8(int32_t encoding) { return encoding == kNative || encoding == kUtf8; }

void AppendCodePoint(std::u16string &out, char32_t cp)
{
    if (cp < 0x10000)
        out.push_back(static_cast<char16_t>(cp));
    else
    {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void DecodeUtf8(const uint8_t *s, size_t n, std::u16string &out)
{
    size_t i = 0;
    while (i < n)
    {
        uint8_t b = s[i];
        if (b < 0x80)
        {
            // Runs of ASCII, the usual case, go straight through.
            size_t end = i + 1;
            while (end < n && s[end] < 0x80)
                ++end;
            const size_t at = out.size();
            out.resize(at + (end - i));
            for (size_t k = i; k < end; ++k)
                out[at + (k - i)] = s[k];
            i = end;
            continue;
        }
        int extra = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
        if (b > 0xF4)
            extra = -1;
        char32_t cp = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : b & 0x1F;
        size_t j = i + 1;
        bool ok = extra > 0 && n - i >= static_cast<size_t>(extra) + 1;
        for (int k = 0; ok && k < extra; ++k, ++j)
        {
            if ((s[j] & 0xC0) != 0x80)
                ok = false;
            else
                cp = cp << 6 | (s[j] & 0x3F);
        }
        // Overlong forms, surrogates and values above U+10FFFF are malformed too.
        if (ok && ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))
                   || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (ok)
        {
            AppendCodePoint(out, cp);
            i = j;
        }
        else
        {
            out.push_back(0xFFFD);
            // Skip the lead byte and the continuation bytes that belong to it.
            ++i;
            while (i < n && (s[i] & 0xC0) == 0x80 && extra-- > 0)
                ++i;
        }
    }
}

} // namespace

bool EncodingSupported(int32_t encoding)
{
    return IsUtf8(encoding) || encoding == kWindows || encoding == kMacRoman || encoding == kLatin1
        || encoding == kLatin9;
}

bool DecodeBytes(const char *bytes, size_t length, int32_t encoding, std::u16string &out)
{
    if (!EncodingSupported(encoding))
        return false;
    const auto *s = reinterpret_cast<const uint8_t *>(bytes);
    // All ASCII, the usual case: checked and widened without a branch per byte.
    uint8_t high = 0;
    for (size_t i = 0; i < length; ++i)
        high |= s[i];
    if (high < 0x80 && IsUtf8(encoding))
    {
        out.resize(length);
        std::copy(s, s + length, out.begin());
        return true;
    }
    out.clear();
    out.reserve(length);
    if (IsUtf8(encoding))
        DecodeUtf8(s, length, out);
    else
        for (size_t i = 0; i < length; ++i)
            out.push_back(SingleByteToUnit(s[i], encoding));
    return true;
}

size_t EncodeUnits(const char16_t *src, size_t count, int32_t encoding, char *out, size_t capacity, size_t *units)
{
    const bool utf8 = IsUtf8(encoding) || !EncodingSupported(encoding);
    size_t written = 0;
    size_t i = 0;
    while (i < count)
    {
        if (utf8 && src[i] < 0x80)
        {
            // Runs of ASCII, the usual case, go straight through.
            size_t run = 1;
            while (i + run < count && src[i + run] < 0x80)
                ++run;
            if (out)
            {
                run = std::min(run, capacity - written);
                if (run == 0)
                    break;
                for (size_t k = 0; k < run; ++k)
                    out[written + k] = static_cast<char>(src[i + k]);
            }
            written += run;
            i += run;
            continue;
        }
        char32_t cp = src[i];
        size_t used = 1;
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF)
        {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (src[i + 1] - 0xDC00);
            used = 2;
        }
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            cp = 0xFFFD;
        char buf[4];
        size_t n;
        if (!utf8)
        {
            buf[0] = UnitToSingleByte(cp, encoding);
            n = 1;
        }
        else if (cp < 0x80)
        {
            buf[0] = static_cast<char>(cp);
            n = 1;
        }
        else if (cp < 0x800)
        {
            buf[0] = static_cast<char>(0xC0 | cp >> 6);
            buf[1] = static_cast<char>(0x80 | (cp & 0x3F));
            n = 2;
        }
        else if (cp < 0x10000)
        {
            buf[0] = static_cast<char>(0xE0 | cp >> 12);
            buf[1] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            buf[2] = static_cast<char>(0x80 | (cp & 0x3F));
            n = 3;
        }
        else
        {
            buf[0] = static_cast<char>(0xF0 | cp >> 18);
            buf[1] = static_cast<char>(0x80 | (cp >> 12 & 0x3F));
            buf[2] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            buf[3] = static_cast<char>(0x80 | (cp & 0x3F));
            n = 4;
        }
        if (out)
        {
            if (capacity - written < n)
                break;
            std::copy(buf, buf + n, out + written);
        }
        written += n;
        i += used;
    }
    if (units)
        *units = i;
    return written;
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    DecodeBytes(utf8.data(), utf8.size(), kUtf8, out);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16)
{
    std::string out(EncodeUnits(utf16.data(), utf16.size(), kUtf8, nullptr, 0), '\0');
    EncodeUnits(utf16.data(), utf16.size(), kUtf8, out.data(), out.size());
    return out;
}

} // namespace emu
