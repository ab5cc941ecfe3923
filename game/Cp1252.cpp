#include "game/Cp1252.h"

#include <cstdint>

namespace {

// Code points of bytes 0x80..0x9F; the undefined bytes map to their own C1 control.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char ToCp1252(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return char(0x80 + i);
    return '?';
}

char32_t FromCp1252(unsigned char b)
{
    return b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t(b);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Decodes one character at in[pos], advancing pos past it. Malformed input (a stray
// continuation byte, a truncated, overlong or surrogate sequence, or a value beyond
// U+10FFFF) yields U+FFFD and consumes a single byte, so nothing valid after it is lost.
char32_t DecodeUtf8(std::string_view in, size_t& pos)
{
    const unsigned char lead = static_cast<unsigned char>(in[pos++]);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra == 0 || lead > 0xF4 || pos + extra > in.size()) return 0xFFFD;
    char32_t c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        const unsigned char next = static_cast<unsigned char>(in[pos + i]);
        if ((next & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
    pos += extra;
    return c;
}

}  // namespace

std::string Utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) out += ToCp1252(DecodeUtf8(utf8, pos));
    return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252)
{
    std::string out;
    out.reserve(cp1252.size() * 3);
    for (const char b : cp1252) AppendUtf8(out, FromCp1252(static_cast<unsigned char>(b)));
    return out;
}
