// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <climits>
#include <string>
#include <string_view>

// The stem of the names an image passes under beside IMAGE before it is complete: ".NAME.PID.", followed by
// "part" or "probe" (the image tool's) or "new.iso" (the app's, where it renames over the old image itself). NAME is
// IMAGE's last element, cut where the whole name would not fit in a folder: any name IMAGE can have, a passing
// name can have too, and the process id keeps it apart from another run's. The tool and the app both make it here,
// so the app finds what a killed tool left. Plain C++, for the image tool too.
[[nodiscard]] inline std::string passingStem(std::string_view imageName, long processId)
{
    constexpr size_t longestEnding = sizeof("new.iso") - 1;
    const std::string tail = "." + std::to_string(processId) + ".";
    const size_t room = NAME_MAX - 1 - tail.size() - longestEnding;
    if (imageName.size() > room) {
        // Not inside a UTF-8 sequence (any that is cut goes whole): the name stays as readable as the image's.
        size_t cut = room;
        while (cut > 0 && cut + 3 > room && (static_cast<unsigned char>(imageName[cut]) & 0xC0) == 0x80)
            --cut;
        imageName = imageName.substr(0, cut);
    }
    return "." + std::string(imageName) + tail;
}
