// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The path of `name` inside `folder`, made in one allocation: tree walks make one for every entry.
// Plain C++, for the image tool too.
[[nodiscard]] inline std::string childPath(std::string_view folder, std::string_view name)
{
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(1, '/').append(name);
    return path;
}
