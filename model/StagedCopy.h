// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <atomic>
#include <optional>

// What a staging run shares with the thread waiting for it while it runs: the request to stop one way, how far
// its copying has got the other.
struct StagingControl {
    std::atomic<bool> stop { false };
    // Set once staging knows it copies the whole source; zero while it links or clones.
    std::atomic<qint64> bytesToCopy { 0 };
    std::atomic<qint64> bytesCopied { 0 };
};

// How the files of one staging were made, and what was left out.
struct StagingTally {
    qint64 cloned = 0;
    qint64 linked = 0;
    qint64 copied = 0;
    // Sockets and device nodes: they cannot be staged and mean nothing on a disc.
    int leftOut = 0;

    // "clone", "hard link", "copy", or a mix such as "hard link + copy".
    [[nodiscard]] QString methods() const;
};

// Stages `from` (a file, folder or bundle) at `to`, which must not exist, using for each regular file the
// cheapest faithful way that works: a reflink clone, a hard link, then a copy (sparse files stay sparse).
// Nothing is ever written to the source or to a linked file. Folders, links (kept as links) and named pipes are
// made anew with their permissions and times; hidden entries are included. A source that is itself a link is
// staged as what it points to, under the link's name. Checks the stop request between files and inside long
// copies, and counts the bytes it copies. Returns why it failed; nothing on success or when stopped (the caller
// knows which).
[[nodiscard]] std::optional<QString> stageItem(
    const QString& from, const QString& to, StagingControl& control, StagingTally& tally);

// The bytes a copy of `path` takes on disk: the allocated blocks of its regular files. Follows a top-level link.
[[nodiscard]] qint64 copySize(const QString& path, const std::atomic<bool>& stop);
