// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceFiles.h"

#include "RunFailure.h"
#include "RunOutcome.h"
#include "UntouchedOpen.h"
#include "common/ChildPath.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>
#include <utility>

namespace hdiutil {

namespace {

constexpr size_t bufferSize = 1 << 20;
// Enough to keep the disk busy with small files while libisofs works through the current one.
constexpr uint32_t aheadFiles = 8;
constexpr off_t aheadBytes = 2 << 20;
// Arbitrary, distinct from the ids libisofs gives its own file systems.
constexpr unsigned int ourFsId = 0x56424B31;

} // namespace

// Only what the image and the change check need: a million of these must stay small.
struct FileData {
    // The node's own name is the file's.
    IsoNode* node = nullptr;
    ino_t ino;
    off_t size;
    int64_t mtimeNanoseconds;
    // Below zero while libisofs does not have the file open (it may be open already, read ahead).
    off_t delivered = -1;
    // The kernel's device numbers fit in 32 bits.
    uint32_t dev;
    uint32_t folder;
    uint32_t order = 0;
    int fd = -1;
};
static_assert(sizeof(FileData) <= 56);

// The streams' class is ours alone and leads to their SourceFiles, so no file needs a pointer back.
struct FileStreamClass {
    IsoStreamIface iface;
    SourceFiles* files;
};

namespace {

FileData& dataOf(IsoStream* stream)
{
    return *static_cast<FileData*>(stream->data);
}

SourceFiles& filesOf(IsoStream* stream)
{
    return *reinterpret_cast<FileStreamClass*>(stream->iface)->files;
}

int64_t nanoseconds(const timespec& time)
{
    return int64_t { time.tv_sec } * 1'000'000'000 + time.tv_nsec;
}

int openStream(IsoStream* stream)
{
    return filesOf(stream).open(dataOf(stream));
}

int closeStream(IsoStream* stream)
{
    filesOf(stream).close(dataOf(stream));
    return 1;
}

off_t streamSize(IsoStream* stream)
{
    return dataOf(stream).size;
}

int readStream(IsoStream* stream, void* buf, size_t count)
{
    return filesOf(stream).read(dataOf(stream), static_cast<unsigned char*>(buf), count);
}

int isRepeatable(IsoStream*)
{
    return 1;
}

void getId(IsoStream* stream, unsigned int* fsId, dev_t* devId, ino_t* inoId)
{
    const FileData& d = dataOf(stream);
    *fsId = ourFsId;
    *devId = d.dev;
    *inoId = d.ino;
}

void freeStream(IsoStream* stream)
{
    closeStream(stream);
}

int updateSize(IsoStream*)
{
    return 1;
}

constexpr IsoStreamIface fileStreamIface = {
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

SourceFiles::SourceFiles(const std::string& rootPath, std::string rootFileName)
    : m_folders(rootPath)
    , m_rootFileName(std::move(rootFileName))
    , m_class(new FileStreamClass { fileStreamIface, this })
{ }

SourceFiles::~SourceFiles()
{
    for (FileData& file : m_files)
        close(file);
}

IsoStream* SourceFiles::newStream(uint32_t folder, const struct stat& st)
{
    // libisofs releases the stream with free(), so it must come from malloc().
    auto* stream = static_cast<IsoStream*>(std::malloc(sizeof(IsoStream)));
    if (!stream)
        return nullptr;
    FileData& data = m_files.emplace_back();
    data.dev = static_cast<uint32_t>(st.st_dev);
    data.ino = st.st_ino;
    data.size = st.st_size;
    data.mtimeNanoseconds = nanoseconds(st.st_mtim);
    data.folder = folder;
    stream->iface = &m_class->iface;
    stream->refcount = 1;
    stream->data = &data;
    return stream;
}

void SourceFiles::setNode(IsoStream* stream, IsoNode* node)
{
    dataOf(stream).node = node;
}

void SourceFiles::orderForWriting()
{
    // Inode order reads the disk mostly forwards. libisofs writes the files by weight, heaviest first, so the
    // order is told to it rather than guessed. Links to one file are written once: one entry for them all.
    auto key = [this](uint32_t i) { return std::pair(m_files[i].dev, m_files[i].ino); };
    std::vector<uint32_t> all(m_files.size());
    for (uint32_t i = 0; i < all.size(); ++i)
        all[i] = i;
    std::sort(all.begin(), all.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
    m_writingOrder.reserve(all.size());
    for (const uint32_t i : all) {
        if (m_writingOrder.empty() || key(m_writingOrder.back()) != key(i))
            m_writingOrder.push_back(i);
        FileData& file = m_files[i];
        file.order = static_cast<uint32_t>(m_writingOrder.size() - 1);
        iso_node_set_sort_weight(file.node, -static_cast<int>(std::min<uint32_t>(file.order, 1U << 30)));
    }
}

const char* SourceFiles::diskName(const FileData& file) const
{
    if (file.folder == SourceFolders::root && !m_rootFileName.empty())
        return m_rootFileName.c_str();
    return iso_node_get_name(file.node);
}

std::string SourceFiles::pathOf(const FileData& file) const
{
    return childPath(m_folders.path(file.folder), diskName(file));
}

int SourceFiles::fail(const FileData& file, const std::string& what)
{
    noteFailure(RunFailure(
        what + " \"" + pathOf(file) + "\"", { .kind = imagetool::FailureKind::Changed, .path = pathOf(file) }));
    return static_cast<int>(ISO_FILE_READ_ERROR);
}

int SourceFiles::failReading(const FileData& file, int error)
{
    noteFailure(systemFailure(imagetool::FailureKind::Unreadable, "cannot read", pathOf(file), error));
    return static_cast<int>(ISO_FILE_READ_ERROR);
}

int SourceFiles::openAt(const FileData& file)
{
    const int folder = m_folders.open(file.folder);
    if (folder < 0)
        return -1;
    // Not blocking: a pipe put in the file's place must fail the run, not hang it.
    return openUntouched(folder, diskName(file), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

void SourceFiles::readAhead(uint32_t from)
{
    m_readAheadEnd = std::max(m_readAheadEnd, from);
    const auto end = static_cast<uint32_t>(std::min<size_t>(m_writingOrder.size(), size_t { from } + aheadFiles));
    for (; m_readAheadEnd < end; ++m_readAheadEnd) {
        FileData& next = m_files[m_writingOrder[m_readAheadEnd]];
        if (next.fd >= 0 || next.size == 0)
            continue;
        // A file that cannot be opened now is tried again, and reported, when its turn comes.
        next.fd = openAt(next);
        if (next.fd >= 0)
            ::posix_fadvise(next.fd, 0, std::min(next.size, aheadBytes), POSIX_FADV_WILLNEED);
    }
}

int SourceFiles::open(FileData& file)
{
    if (file.delivered >= 0)
        return static_cast<int>(ISO_FILE_ALREADY_OPENED);
    if (!m_writingOrder.empty()) {
        readAhead(file.order + 1);
        // The link libisofs chose to write may not be the one read ahead.
        if (FileData& first = m_files[m_writingOrder[file.order]]; &first != &file && file.fd < 0)
            std::swap(file.fd, first.fd);
    }
    if (file.fd < 0)
        file.fd = openAt(file);
    if (file.fd < 0)
        return failReading(file, errno);
    if (file.size > static_cast<off_t>(bufferSize))
        ::posix_fadvise(file.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    if (!m_buffer)
        m_buffer.reset(new (std::nothrow) unsigned char[bufferSize]);
    if (!m_buffer)
        return static_cast<int>(ISO_OUT_OF_MEM);
    file.delivered = 0;
    return 1;
}

void SourceFiles::close(FileData& file)
{
    if (file.fd >= 0)
        ::close(file.fd);
    file.fd = -1;
    file.delivered = -1;
    if (m_bufferOwner == &file)
        m_bufferOwner = nullptr;
}

bool SourceFiles::refill(FileData& file)
{
    const size_t want = static_cast<size_t>(std::min<off_t>(file.size - file.delivered, bufferSize));
    size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(file.fd, m_buffer.get() + got, want - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            failReading(file, errno);
            return false;
        }
        if (n == 0) {
            fail(file, "changed while imaging (shorter than when scanned)");
            return false;
        }
        got += static_cast<size_t>(n);
    }
    m_bufferOwner = &file;
    m_bufferOffset = file.delivered;
    m_bufferLength = got;
    return true;
}

int SourceFiles::read(FileData& file, unsigned char* out, size_t count)
{
    if (file.delivered < 0)
        return static_cast<int>(ISO_FILE_NOT_OPENED);
    const bool reachesEnd = file.delivered < file.size;
    size_t copied = 0;
    while (copied < count && file.delivered < file.size) {
        const bool buffered = m_bufferOwner == &file && file.delivered >= m_bufferOffset
            && file.delivered < m_bufferOffset + static_cast<off_t>(m_bufferLength);
        if (!buffered && !refill(file))
            return static_cast<int>(ISO_FILE_READ_ERROR);
        const auto at = static_cast<size_t>(file.delivered - m_bufferOffset);
        const size_t n = std::min(count - copied, m_bufferLength - at);
        std::memcpy(out + copied, m_buffer.get() + at, n);
        file.delivered += static_cast<off_t>(n);
        copied += n;
    }
    if (reachesEnd && file.delivered == file.size) {
        // Writing a file moves its mtime; only a file system with coarse timestamps can hide a rewrite made
        // within one tick. The ctime is no guide: every name added or removed moves it, and staging by links does
        // both. Another export linking the same file and letting it go again, or the source deleted behind its
        // staged links, changes no byte, and may leave the link count as it was.
        struct stat now;
        if (::fstat(file.fd, &now) != 0)
            return failReading(file, errno);
        if (now.st_size > file.size)
            return fail(file, "changed while imaging (longer than when scanned)");
        if (!S_ISREG(now.st_mode) || static_cast<uint32_t>(now.st_dev) != file.dev || now.st_ino != file.ino
            || now.st_size != file.size || nanoseconds(now.st_mtim) != file.mtimeNanoseconds)
            return fail(file, "changed while imaging");
    }
    return static_cast<int>(copied);
}

} // namespace hdiutil
