// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ImageToolContract.h"

#include <stdexcept>
#include <string>

namespace hdiutil {

// Ends the run with exit status 1; the message is the reason shown to the user, and `failure()` what the app
// needs to say it in the user's language.
class RunFailure : public std::runtime_error {
public:
    explicit RunFailure(const std::string& reason, imagetool::Failure failure = {})
        : std::runtime_error(reason)
        , m_failure(std::move(failure))
    { }

    [[nodiscard]] const imagetool::Failure& failure() const { return m_failure; }

private:
    imagetool::Failure m_failure;
};

// Reason text for a failed system call on a path.
std::string systemError(const std::string& what, const std::string& path, int error);

// A failed system call on `path`, of `kind`: Unreadable for the source, CannotWrite for the image's folder.
[[nodiscard]] RunFailure systemFailure(
    imagetool::FailureKind kind, const std::string& what, const std::string& path, int error);

// Reason text for a libisofs error code.
std::string isofsError(const std::string& what, int code);

} // namespace hdiutil
