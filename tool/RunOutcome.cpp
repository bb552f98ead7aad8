// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunOutcome.h"

#include "common/ImageToolContract.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace hdiutil {

namespace {

std::mutex noteMutex;
std::optional<RunFailure> firstNote;

// Held from the moment the run starts to end; never released by a failing thread, which exits holding it.
std::mutex endMutex;
int temporaryFolder = -1;
std::string temporaryImage;
bool committed = false;

std::string oneLine(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return text;
}

void writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

sigset_t stopSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

void noteFailure(const RunFailure& failure)
{
    const std::lock_guard lock(noteMutex);
    if (!firstNote)
        firstNote = failure;
}

std::optional<RunFailure> notedFailure()
{
    const std::lock_guard lock(noteMutex);
    return firstNote;
}

int createTemporaryImage(int folderFd, const std::string& name)
{
    const std::lock_guard lock(endMutex);
    constexpr int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(folderFd, name.c_str(), flags, 0600);
    // The name holds our process id, so one that exists was left by a process that is gone.
    if (fd < 0 && errno == EEXIST && ::unlinkat(folderFd, name.c_str(), 0) == 0)
        fd = ::openat(folderFd, name.c_str(), flags, 0600);
    if (fd < 0)
        return fd;
    // Our own descriptor: the caller's is closed by the time a failure unwinds to failRun().
    temporaryFolder = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (temporaryFolder < 0) {
        const int error = errno;
        ::unlinkat(folderFd, name.c_str(), 0);
        ::close(fd);
        errno = error;
        return -1;
    }
    temporaryImage = name;
    return fd;
}

void failRun(const RunFailure& failure, int status)
{
    endMutex.lock();
    if (committed) {
        endMutex.unlock();
        return;
    }
    if (temporaryFolder >= 0)
        ::unlinkat(temporaryFolder, temporaryImage.c_str(), 0);
    // One write, so the line reaches the reader whole.
    writeAll(STDERR_FILENO, imagetool::failureLine(oneLine(failure.what()), failure.failure()));
    // No exit handlers: other threads may still be inside libisofs.
    ::_exit(status);
}

std::optional<std::string> commitImage(const std::function<std::optional<std::string>()>& publish)
{
    const std::lock_guard lock(endMutex);
    auto error = publish();
    if (!error)
        committed = true;
    return error;
}

void uninterrupted(const std::function<void()>& step)
{
    const std::lock_guard lock(endMutex);
    step();
}

void watchSignals()
{
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    const sigset_t set = stopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set] {
        for (;;) {
            int signal = 0;
            if (sigwait(&set, &signal) != 0)
                continue;
            failRun(RunFailure(std::string("stopped by SIG") + sigabbrev_np(signal)),
                imagetool::stoppedStatusBase + signal);
        }
    }).detach();
}

} // namespace hdiutil
