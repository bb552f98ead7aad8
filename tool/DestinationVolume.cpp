// SPDX-License-Identifier: GPL-3.0-or-later
#include "DestinationVolume.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace hdiutil {

namespace {

constexpr uint64_t fatLargestFile = (uint64_t { 1 } << 32) - 1;
// From linux/magic.h, which not every system's headers carry.
constexpr long msdosMagic = 0x4d44;
constexpr long exfatMagic = 0x2011BAB0;
constexpr long fuseMagic = 0x65735546;
constexpr long cifsMagic = static_cast<long>(0xFF534D42);
constexpr long smb2Magic = static_cast<long>(0xFE534D42);

// The type column of the mount table's line for `device`, such as "fuse.fusefat" or "fuseblk".
std::string mountTypeOf(dev_t device)
{
    std::ifstream table("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        if (numbers != wanted)
            continue;
        const size_t separator = line.find(" - ");
        if (separator == std::string::npos)
            return {};
        std::istringstream rest(line.substr(separator + 3));
        std::string type;
        rest >> type;
        return type;
    }
    return {};
}

} // namespace

DestinationVolume volumeOfMountType(const std::string& type)
{
    // FUSE drivers show as fuse.NAME or fuseblk.NAME.
    const size_t dot = type.find('.');
    const std::string name = dot != std::string::npos && type.starts_with("fuse") ? type.substr(dot + 1) : type;
    if (name == "vfat" || name == "msdos" || name == "fusefat")
        return { .kind = "FAT32", .largestFile = fatLargestFile, .storesPermissions = false };
    if (name == "exfat")
        return { .kind = "exFAT", .largestFile = std::nullopt, .storesPermissions = false };
    if (name == "cifs" || name == "smb3")
        return { .kind = "SMB", .largestFile = std::nullopt, .storesPermissions = false };
    return {};
}

DestinationVolume describeVolume(int folderFd)
{
    struct statfs fs { };
    if (::fstatfs(folderFd, &fs) != 0)
        return {};
    switch (fs.f_type) {
    case msdosMagic:
        return volumeOfMountType("vfat");
    case exfatMagic:
        return volumeOfMountType("exfat");
    case cifsMagic:
    case smb2Magic:
        return volumeOfMountType("cifs");
    case fuseMagic: {
        struct stat st { };
        return ::fstat(folderFd, &st) == 0 ? volumeOfMountType(mountTypeOf(st.st_dev)) : DestinationVolume {};
    }
    default:
        return {};
    }
}

std::string sizeForPeople(uint64_t bytes)
{
    constexpr std::array units { "bytes", "kB", "MB", "GB", "TB", "PB", "EB" };
    if (bytes < 1000)
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    auto value = static_cast<double>(bytes);
    size_t unit = 0;
    // Rounded as printed, so 999,950 bytes reads "1.0 MB" and not "1000.0 kB".
    while (unit + 1 < units.size() && value >= 999.95) {
        value /= 1000;
        ++unit;
    }
    std::array<char, 32> text {};
    std::snprintf(text.data(), text.size(), "%.1f %s", value, units[unit]);
    return text.data();
}

} // namespace hdiutil
