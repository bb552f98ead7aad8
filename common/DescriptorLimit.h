// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Plain C++ on purpose: the image tool uses it too and must not link Qt.

#include <sys/resource.h>

// The usual soft limit of 1,024 open files is far below what the system allows; deep trees and many exports
// at once should meet the hard limit, not the soft one.
inline void raiseDescriptorLimit()
{
    struct rlimit limit { };
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}
