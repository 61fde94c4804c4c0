// The numeric reading of the count text: full-width forms folded, then a decimal read that wraps at 32 bits.
#include "settings/text_to_integer.h"

namespace quorvane {

namespace {

bool isAsciiBlank(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The half-width byte for a GBK double-byte character, or 0 when it has none.
unsigned char halfWidthOf(unsigned char lead, unsigned char trail)
{
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return static_cast<unsigned char>(trail - 0x80);
    if (lead == 0xA1) {
        if (trail == 0xA1) return ' ';
        if (trail == 0xAB) return '~';
        if (trail == 0xEE || trail == 0xEF) return '*';
    }
    return 0;
}

} // namespace

std::string foldFullWidth(std::string_view text)
{
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            folded += static_cast<char>(lead);
            continue;
        }
        if (i + 1 >= text.size()) break; // a lone lead byte at the end is dropped
        const auto trail = static_cast<unsigned char>(text[++i]);
        if (const unsigned char half = halfWidthOf(lead, trail)) {
            folded += static_cast<char>(half);
        } else {
            folded += static_cast<char>(lead);
            folded += static_cast<char>(trail);
        }
    }
    return folded;
}

std::int32_t textToInteger(std::string_view text)
{
    const std::string folded = foldFullWidth(text);
    std::size_t i = 0;
    while (i < folded.size() && isAsciiBlank(static_cast<unsigned char>(folded[i]))) ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) negative = folded[i++] == '-';
    // Unsigned arithmetic gives the 32-bit two's-complement wrap without signed overflow.
    std::uint32_t total = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i)
        total = 10u * total + static_cast<std::uint32_t>(folded[i] - '0');
    if (negative) total = 0u - total;
    return static_cast<std::int32_t>(total);
}

} // namespace quorvane
