// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/UniqueFd.h"

#include <QString>
#include <memory>

// The private folder of one export job, <parent>/velbrook-job-XXXXXX (owner-only), holding the staging folder the
// image is made from: <job folder>/<base name>. The staging folder gets ordinary permissions, since it becomes
// the image's root; privacy comes from the job folder above it. The job holds a lock on its folder for its whole
// life, so a later start can tell the folders of dead runs from live ones.
class JobFolder {
public:
    // Nothing when the folders cannot be made or `baseName` cannot name a folder ("", ".", "..", "a/b");
    // `error` then says why.
    [[nodiscard]] static std::unique_ptr<JobFolder> create(
        const QString& parentDirectory, const QString& baseName, QString* error = nullptr);
    ~JobFolder();

    JobFolder(const JobFolder&) = delete;
    JobFolder& operator=(const JobFolder&) = delete;

    // The staging folder itself: <job folder>/<base name>.
    [[nodiscard]] const QString& stagingPath() const { return m_stagingPath; }

    // Removes the job folder with everything in it; later calls do nothing. May take long: call off the main
    // thread.
    void remove();

private:
    JobFolder(QString path, QString stagingPath, UniqueFd lock);

    QString m_path;
    QString m_stagingPath;
    UniqueFd m_lock;
};

// TMPDIR when it names an existing folder by an absolute path, else /tmp: never the working directory.
[[nodiscard]] QString temporaryDirectory();

// Removes the job folders in `directory` that this user owns and whose job is gone (their lock is free).
// Touches nothing else. Returns how many it removed.
int removeStaleJobFolders(const QString& directory);
