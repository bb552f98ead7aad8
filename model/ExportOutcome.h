// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ImageToolContract.h"

#include <QMetaType>
#include <QString>

// What the image tool said went wrong, with the details the window needs to say it in its own words.
struct ToolFailure {
    imagetool::FailureKind kind = imagetool::FailureKind::Unknown;
    // The source's file or folder as the user chose it, or the image's folder.
    QString path;
    int error = 0;
    qint64 needed = 0;
    qint64 limit = 0;
};

// How one export job ended.
struct ExportOutcome {
    enum class Kind { ImageWritten, Failed, Cancelled };

    Kind kind = Kind::Failed;
    // The image, when it was written.
    QString imagePath;
    // Why there is no image, when the job failed; what the tool told of it, where it did.
    QString reason;
    ToolFailure toolFailure;
    // Whether the image tool was running when the job ended; only its end is followed by the end step.
    bool toolStarted = false;
    // Special files of the source that are not in the image.
    int leftOut = 0;
    // Whether it failed because the image is already there, which only a replace may change.
    bool imageExists = false;
};
Q_DECLARE_METATYPE(ExportOutcome)
