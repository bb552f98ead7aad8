// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace hdiutil {

// Ends the run with exit status 1; the message is the reason shown to the user.
class RunFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reason text for a failed system call on a path.
std::string systemError(const std::string& what, const std::string& path, int error);

// Reason text for a libisofs error code.
std::string isofsError(const std::string& what, int code);

} // namespace hdiutil
