// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Location.h"
#include "intake/SourceIcon.h"
#include "model/ExportOutcome.h"
#include "model/SourceStaging.h"
#include "model/SourceSymbolLookup.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <memory>
#include <optional>

class ExportJob;
class LocationChooser;

// Why the last export ended without an image.
struct ExportFailure {
    bool cancelled = false;
    // Empty when cancelled. Where the tool told what went wrong, `tool` holds it, and `reason` is its own line.
    QString reason;
    ToolFailure tool;
    // The image is already there; only the user's Replace may change it.
    bool imageExists = false;
    // Not an export's end: a source that could not be taken.
    bool aboutTheSource = false;
    // The name of the image the export was to write, so its end says which it was.
    QString imageName;
};

// Where an export is: none running; staging the source for the tool; the tool running; the moment after its exit.
enum class ExportPhase { Idle, Preparing, Running, Ending };

// The state of one main window: the chosen locations and the state of its export.
// Always held by std::shared_ptr, so that a running export keeps its model alive after the window is gone.
class ExportModel : public QObject, public std::enable_shared_from_this<ExportModel> {
    Q_OBJECT

public:
    // `imageToolPath` is the absolute path of the image tool; `chooser` answers the source and destination dialogs;
    // `staging` stages the source for a tool that cannot take it where it lies; `symbolReader` tells the source's
    // symbol, away from the main thread.
    [[nodiscard]] static std::shared_ptr<ExportModel> create(const QString& imageToolPath,
        std::shared_ptr<LocationChooser> chooser = {}, StagingStep staging = platformStaging(),
        SourceSymbolLookup::Reader symbolReader = sourceIconName);
    ~ExportModel() override;

    [[nodiscard]] const Location& selectedSourceURL() const { return m_selectedSourceURL; }
    [[nodiscard]] const Location& selectedDestinationURL() const { return m_selectedDestinationURL; }
    // The symbol that shows what kind of item the source is; "questionmark.square.dashed" until that is known.
    [[nodiscard]] const QString& sourceSymbolName() const { return m_sourceSymbolName; }
    [[nodiscard]] ExportPhase phase() const { return m_phase; }
    // True from the end of staging (from the start, where nothing is staged) until one second after the tool's exit
    // has been handled.
    [[nodiscard]] bool exportInProgress() const
    {
        return m_phase == ExportPhase::Running || m_phase == ExportPhase::Ending;
    }
    // True while the source is being staged, before the tool starts.
    [[nodiscard]] bool stagingInProgress() const { return m_phase == ExportPhase::Preparing; }
    [[nodiscard]] double progress() const { return m_progress; }
    // While staging copies the source (rather than linking it): how much it has copied of how much. Both zero
    // otherwise.
    [[nodiscard]] qint64 stagingBytesCopied() const { return m_stagingBytesCopied; }
    [[nodiscard]] qint64 stagingBytesToCopy() const { return m_stagingBytesToCopy; }
    [[nodiscard]] qint64 isoFileSize() const { return m_isoFileSize; }
    [[nodiscard]] const std::optional<ExportFailure>& lastExportFailure() const { return m_lastExportFailure; }
    // The image the last successful export wrote, and how many special files it left out.
    [[nodiscard]] const QString& exportedImagePath() const { return m_exportedImagePath; }
    [[nodiscard]] int leftOutCount() const { return m_leftOutCount; }

    [[nodiscard]] bool canStartExport() const;
    // While staging runs or the tool runs.
    [[nodiscard]] bool canCancelExport() const { return !m_job.isNull(); }
    [[nodiscard]] bool showsProgress() const;
    [[nodiscard]] qint64 isoFileSizeInMegabytes() const;

    // Source intake. `items` are a drop's URLs in order (the entries of its text/uri-list); the first local
    // item is taken (see droppedItem). Returns whether the drop is taken; the source itself is set by a queued
    // post.
    bool handleDrop(const QList<QUrl>& items);
    void selectSource();
    // A source that could not be taken (an item named on the command line that is not there), shown as the
    // last failure.
    void reportSourceProblem(const QString& reason);
    // Destination chooser.
    void selectDestination();

    // Starts an export of the chosen source into the chosen folder; returns at once.
    void startExport();
    // After an export failed because its image is already there, and with the same choices: the same export
    // again, replacing that image once the new one is complete, in one rename. For the user's Replace only.
    [[nodiscard]] bool canReplaceImage() const;
    void replaceImage();
    void cancelExport();
    // The tool reported `tenths` of the image written: the bar goes there, though not past 0.9 until the tool has
    // exited with the image complete, and never back.
    void advanceProgress(int tenths);
    // Turns the job's end into the fields, and schedules the end step after the tool's exit.
    void finishExport(const ExportOutcome& outcome);

Q_SIGNALS:
    void selectedSourceURLChanged();
    void selectedDestinationURLChanged();
    void sourceSymbolNameChanged();
    void phaseChanged();
    void stagingCopyChanged();
    // `animated` is true for the one change a view should animate: the bar filling on success.
    void progressChanged(bool animated);
    void isoFileSizeChanged();
    // The last export's end: its failure, or its image and what it left out; also whether one can be cancelled.
    void exportEndChanged();

private:
    ExportModel(const QString& imageToolPath, std::shared_ptr<LocationChooser> chooser, StagingStep staging,
        SourceSymbolLookup::Reader symbolReader);

    void setSelectedSourceURL(const Location& location);
    void setSelectedDestinationURL(const Location& location);
    void setSourceSymbolName(const QString& name);
    void setPhase(ExportPhase phase);
    void setProgress(double progress, bool animated = false);
    void setIsoFileSize(qint64 size);
    void setStagingCopy(qint64 copied, qint64 toCopy);
    void scheduleEndStep();
    void beginExport(bool replace);

    QString m_imageToolPath;
    std::shared_ptr<LocationChooser> m_chooser;
    StagingStep m_staging;
    QPointer<ExportJob> m_job;

    Location m_selectedSourceURL;
    SourceSymbolLookup m_sourceSymbolLookup;
    QString m_sourceSymbolName;
    Location m_selectedDestinationURL;
    ExportPhase m_phase = ExportPhase::Idle;
    double m_progress = 0.0;
    qint64 m_stagingBytesCopied = 0;
    qint64 m_stagingBytesToCopy = 0;
    qint64 m_isoFileSize = 0;
    std::optional<ExportFailure> m_lastExportFailure;
    // What the last export was started with: its end names its image, and Replace redoes only that export.
    QString m_lastExportImageName;
    Location m_lastExportSource;
    Location m_lastExportDestination;
    QString m_exportedImagePath;
    int m_leftOutCount = 0;
};
