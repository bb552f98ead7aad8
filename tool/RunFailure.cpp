// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunFailure.h"

#include "LibIsofs.h"

#include <cstring>

namespace hdiutil {

std::string systemError(const std::string& what, const std::string& path, int error)
{
    return what + " \"" + path + "\": " + std::strerror(error);
}

RunFailure systemFailure(imagetool::FailureKind kind, const std::string& what, const std::string& path, int error)
{
    return RunFailure(systemError(what, path, error), { .kind = kind, .path = path, .error = error });
}

std::string isofsError(const std::string& what, int code)
{
    const char* text = iso_error_to_msg(code);
    return what + ": " + (text ? text : "libisofs error " + std::to_string(code));
}

} // namespace hdiutil
