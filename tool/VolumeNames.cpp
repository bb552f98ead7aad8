// SPDX-License-Identifier: GPL-3.0-or-later
#include "VolumeNames.h"

#include <cstdint>

namespace hdiutil {

namespace {

constexpr size_t isoVolumeIdLength = 32;
constexpr size_t jolietVolumeIdUnits = 16;
constexpr char32_t replacement = 0xFFFD;

// Decodes one code point at `pos` and advances past it; malformed input consumes one byte.
char32_t nextCodePoint(std::string_view s, size_t& pos)
{
    const auto lead = static_cast<unsigned char>(s[pos]);
    size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return replacement;
    }
    if (pos + length > s.size()) {
        ++pos;
        return replacement;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(s[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return replacement;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return replacement;
    }
    pos += length;
    return value;
}

void appendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

} // namespace

std::string lastPathElement(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    if (path == "/")
        return {};
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string withoutExtension(std::string_view name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || dot + 1 == name.size())
        return std::string(name);
    return std::string(name.substr(0, dot));
}

std::string isoVolumeId(std::string_view utf8Name)
{
    std::string out;
    size_t pos = 0;
    while (pos < utf8Name.size() && out.size() < isoVolumeIdLength) {
        const char32_t cp = nextCodePoint(utf8Name, pos);
        if (cp >= 'a' && cp <= 'z')
            out.push_back(static_cast<char>(cp - 'a' + 'A'));
        else if ((cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') || cp == '_')
            out.push_back(static_cast<char>(cp));
        else
            out.push_back('_');
    }
    return out;
}

std::u16string jolietVolumeId(std::string_view utf8Name)
{
    std::u16string out;
    size_t pos = 0;
    while (pos < utf8Name.size()) {
        char32_t cp = nextCodePoint(utf8Name, pos);
        if (cp < 0x20 || cp == '*' || cp == '/' || cp == ':' || cp == ';' || cp == '?' || cp == '\\')
            cp = '_';
        std::u16string unit;
        appendUtf16(unit, cp);
        if (out.size() + unit.size() > jolietVolumeIdUnits)
            break;
        out += unit;
    }
    return out;
}

} // namespace hdiutil
