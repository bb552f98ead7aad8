// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/JobFolder.h"
#include "model/StagedCopy.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>

// What the step before the image tool leaves: what the tool is to image, or why there is nothing. Staging leaves a
// job folder holding the staged source; an export that images the source in place leaves none.
struct StagingResult {
    std::unique_ptr<JobFolder> jobFolder;
    QString imagePath;
    QString error;
    StagingTally tally;
    // What the tool is given, and the path by which its failure lines name the source.
    QString toolSourcePath;
    QString toolNamesSourceAs;
    // Open on the source where its path is no text (not UTF-8): the tool is given it as /dev/fd/N.
    UniqueFd toolSourceFd;
};

// Everything an export does before its image tool starts (but for the check that the image is not there yet,
// which the job makes): removes the job folders of dead runs, checks the image's name and destination, picks where
// staging is cheap (beside the source's file system when the temporary or cache folder lies on it), else where a copy
// fits (on disk before RAM), never inside the source, and stages the source. Blocks for as long as the copy takes: run
// it on a worker thread. Once stop is requested it returns with no folder and no error. When it copies, it says how
// much there is to copy before it starts.
[[nodiscard]] StagingResult stageSource(
    const QString& sourcePath, const QString& destinationPath, StagingControl& control);

// The staging an export runs; tests wrap stageSource to hold it up. None for an image tool that takes the item where
// it lies.
using StagingStep
    = std::function<StagingResult(const QString& sourcePath, const QString& destinationPath, StagingControl& control)>;

// This platform's: none for our own tool, which images the item in place; staging for the system's tool on macOS,
// which takes only a folder whose contents become the image.
[[nodiscard]] StagingStep platformStaging();

// Removes the job folders that dead runs left in the temporary and cache folders. May take long.
void removeStaleStaging();
