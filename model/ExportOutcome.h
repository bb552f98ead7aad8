// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>

// How one export job ended.
struct ExportOutcome {
    enum class Kind { ImageWritten, Failed, Cancelled };

    Kind kind = Kind::Failed;
    // The image, when it was written.
    QString imagePath;
    // Why there is no image, when the job failed.
    QString reason;
    // Whether the image tool was running when the job ended; only its end is followed by the end step.
    bool toolStarted = false;
    // Special files of the source that are not in the image.
    int leftOut = 0;
    // Whether it failed because the image is already there, which only a replace may change.
    bool imageExists = false;
};
Q_DECLARE_METATYPE(ExportOutcome)
