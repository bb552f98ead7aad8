// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMainWindow>
#include <memory>

class ExportModel;
class MainView;
class QAction;
class QUrl;

// One main window: its own model and dialogs, deleted when closed.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(const QString& imageToolPath, const QString& title, QWidget* parent = nullptr);

    // The application asks every model whether an export still runs before it quits.
    [[nodiscard]] const std::shared_ptr<ExportModel>& model() const { return m_model; }
    // The window's own commands, in menu order; its buttons press the same actions.
    [[nodiscard]] QList<QAction*> commandActions() const;

    // Takes the item a command line names (a path, relative to the working directory, or a file: URL) as the
    // source exactly as a drop of it would. `argument` is the command line's bytes: a path is bytes, and may be no
    // UTF-8. One that is not there is said in the window; returns false then.
    bool takeCommandLineItem(const QByteArray& argument);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fitScreen();

    std::shared_ptr<ExportModel> m_model;
    MainView* m_view;
    bool m_followsScreen = false;
};
