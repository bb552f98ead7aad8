// SPDX-License-Identifier: GPL-3.0-or-later
// velbrook-hdiutil: the image tool the app runs as a child process. A separate program because it links
// libisofs (GPL-2.0-or-later); it does not use Qt.
#include "CommandLine.h"
#include "MakeHybrid.h"
#include "RunFailure.h"
#include "RunOutcome.h"
#include "VolumeNames.h"
#include "common/DescriptorLimit.h"
#include "common/ImageToolContract.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int usageError(const std::string& message)
{
    const std::string line = "velbrook-hdiutil: " + message + " (see: velbrook-hdiutil help)\n";
    [[maybe_unused]] const ssize_t ignored = ::write(STDERR_FILENO, line.data(), line.size());
    return imagetool::usageStatus;
}

// With -item: the name the item has in the image, the one it was given by; a link keeps its own name, as a
// folder holding the link's target under it would. "." and ".." name the folder they lead to, and a descriptor's
// path what it is open on: a caller passes a path that is no text that way.
std::string itemName(const std::string& given, const std::string& resolved)
{
    const std::string name = hdiutil::lastPathElement(given);
    const bool descriptor = given.starts_with("/dev/fd/") || given.starts_with("/proc/self/fd/");
    return descriptor || name.empty() || name == "." || name == ".." ? hdiutil::lastPathElement(resolved) : name;
}

// A soft limit below the hard one protects select(), which nothing here uses; it only risks running out.
int run(hdiutil::MakeHybrid command)
{
    char resolved[PATH_MAX];
    struct stat st;
    if (!::realpath(command.source.c_str(), resolved) || ::stat(resolved, &st) != 0)
        return usageError("cannot open SOURCE \"" + command.source + "\": " + std::strerror(errno));
    std::string name;
    if (command.item) {
        if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode))
            return usageError("SOURCE \"" + command.source + "\" is not a file or folder");
        name = itemName(command.source, resolved);
        if (name.empty())
            return usageError("SOURCE \"" + command.source + "\" is the whole file system, which has no name");
    } else if (!S_ISDIR(st.st_mode)) {
        return usageError("SOURCE \"" + command.source + "\" is not a folder");
    }
    command.source = resolved;
    const auto epoch = hdiutil::sourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"));
    if (const auto* error = std::get_if<hdiutil::UsageError>(&epoch))
        return usageError(error->message);
    command.sourceDateEpoch = std::get<std::optional<time_t>>(epoch);

    raiseDescriptorLimit();
    hdiutil::watchSignals();
    try {
        hdiutil::makeHybrid(command, name);
    } catch (const hdiutil::RunFailure& failure) {
        hdiutil::failRun(failure);
    } catch (const std::bad_alloc&) {
        hdiutil::failRun(hdiutil::RunFailure("out of memory"));
    }
    return imagetool::imageWrittenStatus;
}

} // namespace

// A descriptor left closed by the caller would be the first one opened: the image, say, which the progress lines
// would then be written into.
bool openStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        if (::open("/dev/null", O_RDWR) != fd)
            return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (!openStandardDescriptors())
        return imagetool::failedStatus;
    // Sizes in failure lines are read by people, in their own notation. Only numbers: the character set stays
    // the C one, which the file names given to libisofs do not depend on, and nothing printed is parsed back.
    std::setlocale(LC_NUMERIC, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto command = hdiutil::parseCommandLine(args);
    if (const auto* error = std::get_if<hdiutil::UsageError>(&command))
        return usageError(error->message);
    if (std::holds_alternative<hdiutil::ShowHelp>(command)) {
        std::fputs(hdiutil::usageText(), stdout);
        return std::fflush(stdout) == 0 ? imagetool::imageWrittenStatus : imagetool::failedStatus;
    }
    return run(std::get<hdiutil::MakeHybrid>(command));
}
