// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Utf8.h"

bool isValidUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p++;
        if (lead < 0x80)
            continue;
        int continuation = 0;
        char32_t codePoint = 0;
        char32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            continuation = 1, codePoint = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            continuation = 2, codePoint = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            continuation = 3, codePoint = lead & 0x07, minimum = 0x10000;
        } else {
            return false;
        }
        if (end - p < continuation)
            return false;
        for (int i = 0; i < continuation; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (*p & 0x3F);
        }
        if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
    }
    return true;
}
