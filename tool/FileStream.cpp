// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileStream.h"

#include "RunOutcome.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <unistd.h>

namespace hdiutil {

namespace {

constexpr size_t blockSize = 1 << 20;
// Arbitrary, distinct from the ids libisofs gives its own file systems.
constexpr unsigned int ourFsId = 0x56424B31;

struct FileData {
    std::string path;
    struct stat scanned = {};
    off_t size = 0;
    int fd = -1;
    off_t delivered = 0;
    bool probedEnd = false;
    std::unique_ptr<unsigned char[]> buffer;
    size_t bufferSize = 0;
    size_t bufferStart = 0;
    size_t bufferEnd = 0;
};

FileData& dataOf(IsoStream* stream)
{
    return *static_cast<FileData*>(stream->data);
}

int fail(FileData& d, const std::string& what)
{
    noteFailure(what + " \"" + d.path + "\"");
    return static_cast<int>(ISO_FILE_READ_ERROR);
}

// Writing a file moves its mtime; only a file system with coarse timestamps can hide a rewrite made within one
// tick. The ctime is no guide: every name added or removed moves it, and staging by links does both. Another
// export linking the same file and letting it go again, or the source deleted behind its staged links, changes
// no byte, and may leave the link count as it was.
bool unchanged(const FileData& d)
{
    struct stat now;
    const struct stat& then = d.scanned;
    auto same = [](const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
    return ::fstat(d.fd, &now) == 0 && S_ISREG(now.st_mode) && now.st_dev == then.st_dev && now.st_ino == then.st_ino
        && now.st_size == then.st_size && same(now.st_mtim, then.st_mtim);
}

int openStream(IsoStream* stream)
{
    FileData& d = dataOf(stream);
    if (d.fd >= 0)
        return static_cast<int>(ISO_FILE_ALREADY_OPENED);
    d.fd = ::open(d.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (d.fd < 0)
        return fail(d, std::string("cannot read (") + std::strerror(errno) + ")");
    if (!unchanged(d))
        return fail(d, "changed while imaging");
    ::posix_fadvise(d.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    d.bufferSize = static_cast<size_t>(std::min<off_t>(std::max<off_t>(d.size, 1), blockSize));
    d.buffer.reset(new (std::nothrow) unsigned char[d.bufferSize]);
    if (!d.buffer)
        return static_cast<int>(ISO_OUT_OF_MEM);
    d.delivered = 0;
    d.probedEnd = false;
    d.bufferStart = d.bufferEnd = 0;
    return 1;
}

int closeStream(IsoStream* stream)
{
    FileData& d = dataOf(stream);
    if (d.fd >= 0)
        ::close(d.fd);
    d.fd = -1;
    d.buffer.reset();
    return 1;
}

off_t streamSize(IsoStream* stream)
{
    return dataOf(stream).size;
}

bool refill(FileData& d)
{
    const off_t left = d.size - d.delivered;
    const size_t want = static_cast<size_t>(std::min<off_t>(left, static_cast<off_t>(d.bufferSize)));
    size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(d.fd, d.buffer.get() + got, want - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            fail(d, std::string("cannot read (") + std::strerror(errno) + ")");
            return false;
        }
        if (n == 0) {
            fail(d, "changed while imaging (shorter than when scanned)");
            return false;
        }
        got += static_cast<size_t>(n);
    }
    d.bufferStart = 0;
    d.bufferEnd = got;
    return true;
}

int readStream(IsoStream* stream, void* buf, size_t count)
{
    FileData& d = dataOf(stream);
    if (d.fd < 0)
        return static_cast<int>(ISO_FILE_NOT_OPENED);
    auto* out = static_cast<unsigned char*>(buf);
    size_t copied = 0;
    while (copied < count && d.delivered < d.size) {
        if (d.bufferStart == d.bufferEnd && !refill(d))
            return static_cast<int>(ISO_FILE_READ_ERROR);
        const size_t n = std::min(count - copied, d.bufferEnd - d.bufferStart);
        std::memcpy(out + copied, d.buffer.get() + d.bufferStart, n);
        d.bufferStart += n;
        d.delivered += static_cast<off_t>(n);
        copied += n;
    }
    if (d.delivered == d.size && !d.probedEnd) {
        d.probedEnd = true;
        // A file that grew since the scan would be cut short in the image.
        unsigned char probe;
        ssize_t n;
        do
            n = ::read(d.fd, &probe, 1);
        while (n < 0 && errno == EINTR);
        if (n > 0)
            return fail(d, "changed while imaging (longer than when scanned)");
        if (!unchanged(d))
            return fail(d, "changed while imaging");
    }
    return static_cast<int>(copied);
}

int isRepeatable(IsoStream*)
{
    return 1;
}

void getId(IsoStream* stream, unsigned int* fsId, dev_t* devId, ino_t* inoId)
{
    const FileData& d = dataOf(stream);
    *fsId = ourFsId;
    *devId = d.scanned.st_dev;
    *inoId = d.scanned.st_ino;
}

void freeStream(IsoStream* stream)
{
    closeStream(stream);
    delete static_cast<FileData*>(stream->data);
}

int updateSize(IsoStream*)
{
    return 1;
}

IsoStreamIface fileStreamIface = {
    1,
    { 'u', 's', 'e', 'r' },
    openStream,
    closeStream,
    streamSize,
    readStream,
    isRepeatable,
    getId,
    freeStream,
    updateSize,
    nullptr,
    nullptr,
    nullptr,
};

} // namespace

IsoStream* newFileStream(std::string path, const struct stat& st)
{
    // libisofs releases the stream with free(), so it must come from malloc().
    auto* stream = static_cast<IsoStream*>(std::malloc(sizeof(IsoStream)));
    if (!stream)
        return nullptr;
    auto* data = new (std::nothrow) FileData;
    if (!data) {
        std::free(stream);
        return nullptr;
    }
    data->path = std::move(path);
    data->scanned = st;
    data->size = st.st_size;
    stream->iface = &fileStreamIface;
    stream->refcount = 1;
    stream->data = data;
    return stream;
}

} // namespace hdiutil
