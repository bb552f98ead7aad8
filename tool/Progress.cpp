// SPDX-License-Identifier: GPL-3.0-or-later
#include "Progress.h"

#include "common/ImageToolContract.h"

#include <unistd.h>

namespace hdiutil {

int tenthsDone(uint64_t done, uint64_t total)
{
    if (total == 0 || done >= total)
        return imagetool::allTenths;
    // Wide, so done * 10 cannot overflow for any image size.
    return static_cast<int>(static_cast<unsigned __int128>(done) * imagetool::allTenths / total);
}

void ProgressLines::update(uint64_t done)
{
    const int reached = tenthsDone(done, m_total);
    while (m_printed < reached) {
        ++m_printed;
        if (m_quiet)
            continue;
        const std::string line = imagetool::progressLine(m_printed);
        // The reader may have gone away; the image matters more than the progress.
        [[maybe_unused]] const ssize_t ignored = ::write(STDOUT_FILENO, line.data(), line.size());
    }
}

} // namespace hdiutil
