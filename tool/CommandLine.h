// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
};

struct ShowHelp { };

struct UsageError {
    std::string message;
};

using Command = std::variant<MakeHybrid, ShowHelp, UsageError>;

// Parses everything after the program name. Checks only the shape of the arguments, never the file system.
Command parseCommandLine(const std::vector<std::string>& args);

const char* usageText();

} // namespace hdiutil
