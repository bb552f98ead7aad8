// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace hdiutil {

// How many whole tenths of `total` bytes `done` covers (0 to 10).
int tenthsDone(uint64_t done, uint64_t total);

// Prints "N%" lines on stdout as tenths of the image are completed, each line with a single write().
class ProgressLines {
public:
    ProgressLines(uint64_t total, bool quiet)
        : m_total(total)
        , m_quiet(quiet)
    { }
    void update(uint64_t done);

private:
    uint64_t m_total;
    bool m_quiet;
    int m_printed = 0;
};

} // namespace hdiutil
