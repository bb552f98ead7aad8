// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <fcntl.h>

namespace hdiutil {

// openat() for reading the source, without moving its access times where the kernel allows that (only the owner
// may): reading the user's files into an image is no use of them, and a million access times written back would
// hold the disk, and the kernel, while the image is written.
[[nodiscard]] inline int openUntouched(int dirFd, const char* name, int flags)
{
#ifdef O_NOATIME
    const int fd = ::openat(dirFd, name, flags | O_NOATIME);
    if (fd >= 0 || errno != EPERM)
        return fd;
#endif
    return ::openat(dirFd, name, flags);
}

} // namespace hdiutil
