// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Location.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <memory>

class LocationChooser;
class QProcess;
class StagingFolder;

// The state of one main window: the chosen locations and the state of its export.
// Always held by std::shared_ptr, so that a running export keeps its model alive after the window is gone.
class ExportModel : public QObject, public std::enable_shared_from_this<ExportModel> {
    Q_OBJECT

public:
    // `imageToolPath` is the absolute path of the image tool; `chooser` answers the source and destination dialogs.
    [[nodiscard]] static std::shared_ptr<ExportModel> create(
        const QString& imageToolPath, std::shared_ptr<LocationChooser> chooser = {});
    ~ExportModel() override;

    [[nodiscard]] const Location& selectedSourceURL() const { return m_selectedSourceURL; }
    [[nodiscard]] const Location& selectedDestinationURL() const { return m_selectedDestinationURL; }
    [[nodiscard]] bool exportInProgress() const { return m_exportInProgress; }
    [[nodiscard]] double progress() const { return m_progress; }
    [[nodiscard]] qint64 isoFileSize() const { return m_isoFileSize; }

    [[nodiscard]] bool canStartExport() const;
    [[nodiscard]] bool showsProgress() const;
    [[nodiscard]] qint64 isoFileSizeInMegabytes() const;

    [[nodiscard]] const QString& imageToolPath() const { return m_imageToolPath; }

    // Source intake. `items` are a drop's URLs in order (the entries of its text/uri-list).
    // Returns whether the drop is taken; the source itself is set by a queued post.
    bool handleDrop(const QList<QUrl>& items);
    void selectSource();
    // Destination chooser.
    void selectDestination();

    // Export job: stages the source and launches the image tool; returns without waiting for the tool.
    void startExport();
    // One step of progress for one chunk of the tool's output.
    void advanceProgress();
    // Handles the tool's exit: removes the staging folder, records success, schedules the end step.
    void finishExport(StagingFolder& stagingFolder, const QProcess& process, const QString& outputImage);

Q_SIGNALS:
    void selectedSourceURLChanged();
    void selectedDestinationURLChanged();
    void exportInProgressChanged();
    // `animated` is true for the one change a view should animate: the bar filling on success.
    void progressChanged(bool animated);
    void isoFileSizeChanged();

private:
    ExportModel(const QString& imageToolPath, std::shared_ptr<LocationChooser> chooser);

    void setSelectedSourceURL(const Location& location);
    void setSelectedDestinationURL(const Location& location);
    void setExportInProgress(bool inProgress);
    void setProgress(double progress, bool animated = false);
    void setIsoFileSize(qint64 size);

    QString m_imageToolPath;
    std::shared_ptr<LocationChooser> m_chooser;

    Location m_selectedSourceURL;
    Location m_selectedDestinationURL;
    bool m_exportInProgress = false;
    double m_progress = 0.0;
    qint64 m_isoFileSize = 0;
};
