// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
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

// The most folders an image holds, its root among them: a path table numbers its parents in 16 bits.
inline constexpr uint64_t mostFolders = 65535;

// What went wrong, for the app to say in its user's own words. REASON, in English for people and scripts, is then
// followed by " [KIND FIELD=VALUE...]", each field given only where it is set. Values are the bytes as they are,
// with "%XX" for a space, "%", "]" and control characters.
enum class FailureKind { Unknown, Unreadable, Changed, CannotWrite, NoRoom, FileTooLarge, TooManyFolders };

struct Failure {
    FailureKind kind = FailureKind::Unknown;
    // The file or folder concerned: unreadable or changed, or where the image cannot be written or does not fit.
    std::string path;
    // The system's error number, where a call failed.
    int error = 0;
    // The image's size in bytes, or the source's folders; and the free space, the largest file or the most folders.
    uint64_t needed = 0;
    uint64_t limit = 0;

    friend bool operator==(const Failure&, const Failure&) = default;
};

struct FailureReport {
    std::string reason;
    Failure failure;
};

namespace detail {

inline constexpr std::array<std::string_view, 7> kindNames
    = { "", "unreadable", "changed", "cannot-write", "no-room", "file-too-large", "too-many-folders" };

inline bool isEscaped(unsigned char c)
{
    return c <= ' ' || c == '%' || c == ']' || c == 0x7F;
}

inline std::optional<std::string> unescaped(std::string_view value)
{
    std::string bytes;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            bytes += value[i];
            continue;
        }
        unsigned char c = 0;
        if (i + 2 >= value.size()
            || std::from_chars(value.data() + i + 1, value.data() + i + 3, c, 16).ptr != value.data() + i + 3)
            return std::nullopt;
        bytes += static_cast<char>(c);
        i += 2;
    }
    return bytes;
}

template <typename Number> bool parsedNumber(std::string_view text, Number& number)
{
    return !text.empty() && std::from_chars(text.data(), text.data() + text.size(), number).ptr == text.end();
}

} // namespace detail

// The whole failure line, with its newline; `reason` must be one line.
[[nodiscard]] inline std::string failureLine(std::string_view reason, const Failure& failure)
{
    std::string line = std::string(failurePrefix) + std::string(reason);
    if (failure.kind != FailureKind::Unknown) {
        line += " [" + std::string(detail::kindNames[static_cast<size_t>(failure.kind)]);
        if (!failure.path.empty()) {
            line += " path=";
            for (const char c : failure.path) {
                constexpr std::string_view hex = "0123456789ABCDEF";
                const auto byte = static_cast<unsigned char>(c);
                line += detail::isEscaped(byte) ? std::string { '%', hex[byte >> 4], hex[byte & 15] }
                                                : std::string(1, c);
            }
        }
        for (const auto& [name, value] : { std::pair<std::string_view, uint64_t> { "error", failure.error },
                 { "needed", failure.needed }, { "limit", failure.limit } }) {
            if (value != 0)
                line += " " + std::string(name) + "=" + std::to_string(value);
        }
        line += "]";
    }
    return line + "\n";
}

// A failure line (without its newline) read back; a kind this side does not know reads as Unknown, and a line with
// no kind, or one it cannot read, is all reason.
[[nodiscard]] inline std::optional<FailureReport> parseFailureLine(std::string_view line)
{
    if (!line.starts_with(failurePrefix))
        return std::nullopt;
    line.remove_prefix(failurePrefix.size());
    const FailureReport whole { std::string(line), {} };
    const size_t open = line.rfind(" [");
    if (open == std::string_view::npos || !line.ends_with(']'))
        return whole;
    FailureReport report { std::string(line.substr(0, open)), {} };
    Failure& failure = report.failure;
    std::string_view fields = line.substr(open + 2, line.size() - open - 3);
    const std::string_view kind = fields.substr(0, fields.find(' '));
    if (kind.empty())
        return whole;
    for (size_t k = 1; k < detail::kindNames.size(); ++k) {
        if (kind == detail::kindNames[k])
            failure.kind = static_cast<FailureKind>(k);
    }
    fields.remove_prefix(kind.size());
    while (!fields.empty()) {
        const size_t end = fields.find(' ', 1);
        const std::string_view field = fields.substr(1, end == std::string_view::npos ? end : end - 1);
        fields.remove_prefix(std::min(end, fields.size()));
        const size_t equals = field.find('=');
        if (equals == std::string_view::npos)
            return whole;
        const std::string_view name = field.substr(0, equals);
        const std::string_view value = field.substr(equals + 1);
        bool read = true; // a field this side does not know is passed over
        if (name == "path") {
            auto path = detail::unescaped(value);
            read = path.has_value();
            failure.path = path.value_or(std::string());
        } else if (name == "error") {
            read = detail::parsedNumber(value, failure.error);
        } else if (name == "needed") {
            read = detail::parsedNumber(value, failure.needed);
        } else if (name == "limit") {
            read = detail::parsedNumber(value, failure.limit);
        }
        if (!read)
            return whole;
    }
    return report;
}

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
