// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

// A private folder of one export job in the temporary directory, holding the staging folder that the image
// is made from: <temporary directory>/velbrook-XXXXXX/<base name>. The folder name gives the volume name,
// and the private parent keeps jobs with the same base name apart. Removed with everything in it on
// destruction or remove(); nothing outside the job folder is ever touched.
class StagingFolder {
public:
    // Returns nothing when the folders cannot be made or `baseName` cannot name a folder ("", ".", "..", "a/b").
    [[nodiscard]] static std::unique_ptr<StagingFolder> create(
        const QString& temporaryDirectory, const QString& baseName);
    ~StagingFolder();

    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // The staging folder itself: <job folder>/<base name>.
    [[nodiscard]] const QString& path() const { return m_path; }
    [[nodiscard]] const QString& jobFolder() const { return m_jobFolder; }

    // Removes the job folder and everything in it; later calls do nothing. Failures are ignored.
    void remove();

private:
    StagingFolder(QString jobFolder, QString path);

    QString m_jobFolder;
    QString m_path;
    bool m_removed = false;
};
