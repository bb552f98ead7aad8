// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace hdiutil {

// What the file system holding IMAGE's folder can take, as far as it can be known before writing.
struct DestinationVolume {
    // For people: "FAT32", "exFAT", "SMB"; empty where nothing about it is remarkable.
    std::string kind;
    std::optional<uint64_t> largestFile;
    // FAT and exFAT have no permission bits, nor has SMB without its Unix extensions.
    bool storesPermissions = true;
};

// The mount's type, from statfs and, for FUSE file systems (which statfs sees only as FUSE), the mount table.
DestinationVolume describeVolume(int folderFd);

// Its kind from a mount table type such as "vfat" or "fuse.fusefat".
DestinationVolume volumeOfMountType(const std::string& type);

// "5.2 GB": decimal units with one decimal, as the desktop's file manager shows sizes.
std::string sizeForPeople(uint64_t bytes);

} // namespace hdiutil
