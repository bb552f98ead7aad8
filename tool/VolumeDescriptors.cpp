// SPDX-License-Identifier: GPL-3.0-or-later
#include "VolumeDescriptors.h"

#include <cstring>

namespace hdiutil {

namespace {

constexpr size_t sectorSize = 2048;
constexpr size_t firstDescriptor = 16 * sectorSize;
constexpr size_t volumeIdOffset = 40;
constexpr size_t volumeIdBytes = 32;
constexpr unsigned char supplementaryType = 2;
constexpr unsigned char terminatorType = 255;

bool isJoliet(const unsigned char* d)
{
    // UCS-2 level 1, 2 or 3 escape sequence.
    return d[0] == supplementaryType && d[88] == 0x25 && d[89] == 0x2F
        && (d[90] == 0x40 || d[90] == 0x43 || d[90] == 0x45);
}

} // namespace

bool setJolietVolumeId(unsigned char* head, size_t size, const std::u16string& volumeId)
{
    for (size_t at = firstDescriptor; at + sectorSize <= size; at += sectorSize) {
        unsigned char* d = head + at;
        if (std::memcmp(d + 1, "CD001", 5) != 0 || d[0] == terminatorType)
            return false;
        if (!isJoliet(d))
            continue;
        unsigned char* field = d + volumeIdOffset;
        for (size_t i = 0; i < volumeIdBytes / 2; ++i) {
            const char16_t unit = i < volumeId.size() ? volumeId[i] : u' ';
            field[2 * i] = static_cast<unsigned char>(unit >> 8);
            field[2 * i + 1] = static_cast<unsigned char>(unit & 0xFF);
        }
        return true;
    }
    return false;
}

} // namespace hdiutil
