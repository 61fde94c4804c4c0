// Byte-wise text search in ANSI (GBK) text that never starts a match on the second byte of a character.
#include "intake/find_text.h"

namespace quorvane {

namespace {

bool isLeadByte(char byte)
{
    return static_cast<unsigned char>(byte) >= 0x80;
}

char asciiLower(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// Whether needle stands at the start of text, which holds at least needle.size() bytes.
bool matchesAt(std::string_view text, std::string_view needle, bool ignoreCase)
{
    for (std::size_t i = 0; i < needle.size(); ++i) {
        if (isLeadByte(needle[i])) {
            // Both bytes of a double-byte character compare exactly; its second byte may look like a letter.
            if (text[i] != needle[i]) return false;
            if (++i < needle.size() && text[i] != needle[i]) return false;
        } else if (ignoreCase ? asciiLower(text[i]) != asciiLower(needle[i]) : text[i] != needle[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::int32_t findText(std::string_view text, std::string_view needle, bool ignoreCase)
{
    if (needle.empty()) return text.empty() ? -1 : 1;
    std::size_t position = 0;
    while (text.size() - position >= needle.size()) {
        if (matchesAt(text.substr(position), needle, ignoreCase)) return static_cast<std::int32_t>(position + 1);
        if (isLeadByte(text[position])) {
            if (position + 1 >= text.size()) return -1;
            position += 2;
        } else {
            position += 1;
        }
    }
    return -1;
}

} // namespace quorvane
