// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

class AnimatedProgressBar;
class DropZoneButton;
class ElidedLabel;
class ExportModel;
class LocationField;
class QLabel;
class ScaledPictureView;
class SymbolButton;

// The content of one main window: the source area, which also takes drops, and the destination bar.
// It keeps no state of its own; everything it shows is read from the model in refresh().
class MainView : public QWidget {
    Q_OBJECT

public:
    explicit MainView(std::shared_ptr<ExportModel> model, QWidget* parent = nullptr);
    ~MainView() override;

    [[nodiscard]] const std::shared_ptr<ExportModel>& model() const { return m_model; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeSourceArea();
    QWidget* makeDestinationBar();
    QLayout* makeProgressRow();
    void refresh(bool animateProgress = false);
    void showExportEnd(const ExportModel& model);

    std::shared_ptr<ExportModel> m_model;

    DropZoneButton* m_sourceArea = nullptr;
    ScaledPictureView* m_sourceSymbol = nullptr;
    AnimatedProgressBar* m_progressBar = nullptr;
    SymbolButton* m_cancelButton = nullptr;
    QLabel* m_isoSizeLine = nullptr;
    QLabel* m_leftOutNote = nullptr;
    QLabel* m_failureSymbol = nullptr;
    ElidedLabel* m_endLine = nullptr;
    LocationField* m_sourceField = nullptr;
    LocationField* m_destinationField = nullptr;
    SymbolButton* m_destinationButton = nullptr;
    SymbolButton* m_exportButton = nullptr;
};
