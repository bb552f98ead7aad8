// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LibIsofs.h"
#include "SourceFolders.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace hdiutil {

struct FileData;
struct FileStreamClass;

// The scanned regular files, as libisofs streams, and their reading for libisofs's writer thread.
// Each file is opened once, relative to its folder, when libisofs first asks for it or a little before: the
// next few files in writing order are opened and their first data asked of the disk ahead of time, so reading
// them overlaps with the writing of the image. One buffer serves every file: large reads, whatever libisofs asks.
// Any problem (cannot open, read error, size or mtime changed since the scan, by the end of the read) is noted
// with noteFailure() with the file's path, so the run fails instead of the image holding anything but the file
// as scanned. Must outlive every stream it made.
class SourceFiles {
public:
    // `rootFileName`, where given, is the name on disk of the one file in the root folder, whatever its name in the
    // image: a file imaged as an item, through a link of another name.
    explicit SourceFiles(const std::string& rootPath, std::string rootFileName = {});
    ~SourceFiles();
    SourceFiles(const SourceFiles&) = delete;
    SourceFiles& operator=(const SourceFiles&) = delete;

    SourceFolders& folders() { return m_folders; }
    [[nodiscard]] const std::string& rootFileName() const { return m_rootFileName; }
    // A new stream holding one reference, for the file with status `st` in `folder`; nullptr when out of memory.
    // Its name is its node's, given once the node exists.
    [[nodiscard]] IsoStream* newStream(uint32_t folder, const struct stat& st);
    static void setNode(IsoStream* stream, IsoNode* node);
    // Once every file is in: sets the order in which libisofs writes them, the order they are read ahead in.
    void orderForWriting();

    // For the stream callbacks.
    [[nodiscard]] int open(FileData& file);
    [[nodiscard]] int read(FileData& file, unsigned char* out, size_t count);
    void close(FileData& file);

private:
    [[nodiscard]] int openAt(const FileData& file);
    void readAhead(uint32_t from);
    [[nodiscard]] bool refill(FileData& file);
    [[nodiscard]] const char* diskName(const FileData& file) const;
    [[nodiscard]] std::string pathOf(const FileData& file) const;
    int fail(const FileData& file, const std::string& what);
    int failReading(const FileData& file, int error);

    SourceFolders m_folders;
    std::string m_rootFileName;
    std::unique_ptr<FileStreamClass> m_class;
    std::deque<FileData> m_files;
    // Indexes into m_files; one for all the links to a file.
    std::vector<uint32_t> m_writingOrder;
    uint32_t m_readAheadEnd = 0;
    std::unique_ptr<unsigned char[]> m_buffer;
    const FileData* m_bufferOwner = nullptr;
    off_t m_bufferOffset = 0;
    size_t m_bufferLength = 0;
};

} // namespace hdiutil
