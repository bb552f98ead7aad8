// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// libisofs.h uses fixed-width types without including their header, and would pull in libburn's otherwise.
#include <cstdint>
#include <sys/types.h>
#define LIBISOFS_WITHOUT_LIBBURN 1
#include <libisofs/libisofs.h>

// The header hides the stream layout from C++ (its member is called "class"); our own stream type needs it.
struct iso_stream {
    IsoStreamIface* iface;
    int refcount;
    void* data;
};
