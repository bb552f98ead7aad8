// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <climits>
#include <optional>
#include <string>
#include <string_view>

// What the app and its image tool say to each other, written once for both sides (and for the tests' stand-in
// tool): the progress lines on standard output, the failure line on standard error, the exit statuses, and the
// names an unfinished image passes under. Plain C++, for the image tool too.
namespace imagetool {

// Exit statuses. A run stopped by signal N exits with stoppedStatusBase + N.
inline constexpr int imageWrittenStatus = 0;
inline constexpr int failedStatus = 1;
inline constexpr int usageStatus = 2;
inline constexpr int stoppedStatusBase = 128;

// Progress: one line "N%" for each tenth of the image written, N from 10 to 100, in order; each line in one write.
inline constexpr int allTenths = 10;

[[nodiscard]] inline std::string progressLine(int tenths)
{
    return std::to_string(tenths * 10) + "%\n";
}

// The tenths a line of output (without its newline) reports, or nothing for a line that is no progress line.
[[nodiscard]] inline std::optional<int> progressTenths(std::string_view line)
{
    if (line.size() < 3 || line.size() > 4 || !line.ends_with("0%"))
        return std::nullopt;
    int tens = 0;
    for (const char c : line.substr(0, line.size() - 2)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        tens = tens * 10 + (c - '0');
    }
    if (tens < 1 || tens > allTenths || line.front() == '0')
        return std::nullopt;
    return tens;
}

// A failed run writes one line "velbrook-hdiutil: makehybrid failed - REASON" on standard error, in one write.
inline constexpr std::string_view failurePrefix = "velbrook-hdiutil: makehybrid failed - ";

// The stem of the names an image passes under beside IMAGE before it is complete: ".NAME.PID.", followed by
// partEnding or probeEnding (the tool's) or replacementEnding (the app's, where it renames over the old image
// itself). NAME is IMAGE's last element, cut where the whole name would not fit in a folder: any name IMAGE can have,
// a passing name can have too, and the process id keeps it apart from another run's. The app finds what a killed
// tool left by these names.
inline constexpr std::string_view partEnding = "part";
inline constexpr std::string_view probeEnding = "probe";
inline constexpr std::string_view replacementEnding = "new.iso";

[[nodiscard]] inline std::string passingStem(std::string_view imageName, long processId)
{
    constexpr size_t longestEnding = replacementEnding.size();
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

} // namespace imagetool
