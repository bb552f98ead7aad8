// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

namespace hdiutil {

// The image under construction: a hidden temporary file beside IMAGE, moved to IMAGE only when complete.
// The temporary file is registered with the run outcome, so any failure removes it. Throws RunFailure.
class ImageFile {
public:
    // Fails at once if IMAGE exists and `replace` is false, or if its folder is not writable.
    ImageFile(std::string imagePath, bool replace);
    ~ImageFile();
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    void write(const unsigned char* data, size_t size);
    // Flushes to disk and moves the file to IMAGE. After this returns, the image is in place.
    void publish();

private:
    std::string m_imagePath;
    std::string m_folder;
    std::string m_temporaryPath;
    bool m_replace;
    int m_fd = -1;
};

} // namespace hdiutil
