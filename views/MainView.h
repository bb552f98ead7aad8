// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

class AnimatedProgressBar;
class Desktop;
class DropZoneButton;
class ElidedLabel;
class EndNotice;
class ExportModel;
class LinkButton;
class LocationField;
class QAction;
class QBoxLayout;
class QLabel;
class ScaledPictureView;
class SymbolButton;

// The content of one main window: the source area, which also takes drops, and the destination bar.
// It keeps no state of its own but for what assistive technologies have been told; everything it shows is read from
// the model in refresh().
// Its commands are actions on the view (QWidget::actions()), in menu order, for the window's menus to share.
class MainView : public QWidget {
    Q_OBJECT

public:
    // The size the content asks for on a screen with room for it.
    static constexpr QSize preferredMinimumSize { 900, 500 };

    // With the desktop reached over the session bus.
    explicit MainView(std::shared_ptr<ExportModel> model, QWidget* parent = nullptr);
    MainView(std::shared_ptr<ExportModel> model, std::shared_ptr<Desktop> desktop, QWidget* parent = nullptr);
    ~MainView() override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void makeActions();
    QWidget* makeSourceArea();
    QWidget* makeDestinationBar();
    QLayout* makeProgressRow();
    void orderTabStops();
    void sayFolderCannotBeShown(const QString& image);
    void refresh(bool animateProgress = false);
    void showStaging(const ExportModel& model);
    void showExportEnd(const ExportModel& model);
    void describeSourceArea(const ExportModel& model);
    void tellExportEnd();

    std::shared_ptr<ExportModel> m_model;
    std::shared_ptr<Desktop> m_desktop;

    QAction* m_selectSourceAction = nullptr;
    QAction* m_selectDestinationAction = nullptr;
    QAction* m_createImageAction = nullptr;
    QAction* m_cancelExportAction = nullptr;

    DropZoneButton* m_sourceArea = nullptr;
    ScaledPictureView* m_sourceSymbol = nullptr;
    AnimatedProgressBar* m_progressBar = nullptr;
    SymbolButton* m_cancelButton = nullptr;
    QLabel* m_stagingLine = nullptr;
    QBoxLayout* m_progressRow = nullptr;
    EndNotice* m_endNotice = nullptr;
    // Whether the notice has appeared on screen since the export began, which Qt tells assistive technologies.
    bool m_endNoticeAppeared = false;
    // The control that had the focus went, and the one that should take it was not there yet.
    bool m_focusOwed = false;
    QLabel* m_isoSizeLine = nullptr;
    LinkButton* m_showInFolder = nullptr;
    QLabel* m_leftOutNote = nullptr;
    QLabel* m_failureSymbol = nullptr;
    ElidedLabel* m_endLine = nullptr;
    LinkButton* m_replaceButton = nullptr;
    LocationField* m_sourceField = nullptr;
    LocationField* m_destinationField = nullptr;
    SymbolButton* m_destinationButton = nullptr;
    SymbolButton* m_exportButton = nullptr;
};
