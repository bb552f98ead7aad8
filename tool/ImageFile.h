// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DestinationVolume.h"
#include "common/UniqueFd.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace hdiutil {

// The image under construction, in IMAGE's folder and given the name IMAGE only when complete.
// It is written as an unnamed file, so nothing of it survives a run that dies. Where the file system has no
// unnamed files it is written as ".NAME.PID.part" (NAME the last element of IMAGE, PID this process), which
// the run outcome removes on any failure it sees and the caller may remove after a crash, as it may
// ".NAME.PID.probe" (the same file, for a moment, while the folder is probed) and an empty file at IMAGE (the
// claim on the name, for a moment, where the file system's rename cannot refuse to replace).
// The folder is opened once: renaming it while imaging neither fails the run nor leaves anything behind.
// Throws RunFailure.
class ImageFile {
public:
    // Fails at once if IMAGE exists and `replace` is false, or if its folder is not writable.
    ImageFile(std::string imagePath, bool replace);
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // Data written from a buffer aligned to this, in multiples of it, goes straight to the disk where the file
    // system allows: a new image is not read back soon, and should not push the user's files out of the cache.
    static constexpr size_t directAlignment = 4096;

    // Fails at once where an image of `size` bytes cannot fit, before a byte of it is written.
    void reserve(uint64_t size);
    void write(const unsigned char* data, size_t size);
    // Flushes to disk and gives the file the name IMAGE. After this returns, the image is in place.
    void publish();
    // True for the file being written and for the image it is to replace, `name` in `folder`, neither of which may
    // go into the image.
    [[nodiscard]] bool isOwnFile(const struct stat& st, const struct stat& folder, std::string_view name) const;

private:
    [[nodiscard]] bool renameCanRefuseToReplace() const;
    void setDirect(bool direct);
    std::optional<std::string> link();
    int linkUnnamed(const std::string& name) const;
    int renameOverClaim() const;

    std::string m_imagePath;
    std::string m_folderPath;
    std::string m_name;
    // ".NAME.PID." for the passing names: the temporary image's and, while probing, its own.
    std::string m_passingStem;
    std::string m_partName;
    bool m_replace;
    bool m_named = false;
    bool m_renameRefusesToReplace = true;
    bool m_direct = false;
    DestinationVolume m_volume;
    UniqueFd m_folder;
    UniqueFd m_file;
    struct stat m_fileStat = {};
    struct stat m_folderStat = {};
    std::optional<struct stat> m_replaced;
};

} // namespace hdiutil
