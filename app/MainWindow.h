// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <memory>

class ExportModel;
class MainView;
class QUrl;

// One main window: its own model and dialogs, deleted when closed.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(const QString& imageToolPath, const QString& title, QWidget* parent = nullptr);

    [[nodiscard]] MainView* view() const { return m_view; }
    [[nodiscard]] const std::shared_ptr<ExportModel>& model() const { return m_model; }

    // Takes `item` as the source exactly as a drop of it would; returns whether it is taken.
    bool takeSource(const QUrl& item);

private:
    std::shared_ptr<ExportModel> m_model;
    MainView* m_view;
};
