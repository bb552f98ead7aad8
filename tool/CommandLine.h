// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace hdiutil {

struct MakeHybrid {
    std::string image;
    std::string source;
    bool joliet = false;
    bool replace = false;
    bool quiet = false;
    // SOURCE is one file or folder, the single entry of the image's root, rather than the folder that is the root.
    bool item = false;
    std::optional<std::string> defaultVolumeName;
    std::optional<std::string> isoVolumeName;
    std::optional<std::string> jolietVolumeName;
    // From SOURCE_DATE_EPOCH: the time taken as now, and the latest a file's time may be.
    std::optional<time_t> sourceDateEpoch;
};

struct ShowHelp { };

struct UsageError {
    std::string message;
};

using Command = std::variant<MakeHybrid, ShowHelp, UsageError>;

// Parses everything after the program name. Checks only the shape of the arguments, never the file system.
Command parseCommandLine(const std::vector<std::string>& args);

// SOURCE_DATE_EPOCH's value, a count of seconds since 1970, for images that are the same bytes each time the same
// tree is imaged; nothing where it is unset or empty, and a usage error where it is not such a count.
[[nodiscard]] std::variant<std::optional<time_t>, UsageError> sourceDateEpoch(const char* value);

const char* usageText();

} // namespace hdiutil
