// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

namespace hdiutil {

// libisofs derives the Joliet volume name from the ISO one, so the Joliet descriptor is rewritten in the
// image's first bytes as they stream past. `head` must hold the image from offset 0 through the descriptor
// set terminator. Returns false when no Joliet descriptor is found there.
bool setJolietVolumeId(unsigned char* head, size_t size, const std::u16string& volumeId);

} // namespace hdiutil
