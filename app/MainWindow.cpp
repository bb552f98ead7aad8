// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "model/ExportModel.h"
#include "views/FileDialogChooser.h"
#include "views/MainView.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QWindow>

MainWindow::MainWindow(const QString& imageToolPath, const QString& title, QWidget* parent)
    : QMainWindow(parent)
{
    auto chooser = std::make_shared<FileDialogChooser>(this);
    m_model = ExportModel::create(imageToolPath, chooser);
    chooser->startFrom(m_model);
    m_view = new MainView(m_model);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    // The window's minimum is the content's plus the menu bar above it, which QMainWindow adds by itself.
    setCentralWidget(m_view);
}

QList<QAction*> MainWindow::commandActions() const
{
    return m_view->actions();
}

bool MainWindow::takeCommandLineItem(const QString& argument)
{
    const QUrl item = QUrl::fromUserInput(argument, QDir::currentPath(), QUrl::AssumeLocalFile);
    // Only what exists is taken, as only existing items can be dropped.
    if (const QString path = localItemPath(item); !path.isEmpty() && QFileInfo::exists(path))
        return m_model->handleDrop({ item });
    m_model->reportSourceProblem(tr("%1: no such file or folder").arg(argument));
    return false;
}

void MainWindow::showEvent(QShowEvent* event)
{
    fitScreen();
    QMainWindow::showEvent(event);
    if (!m_followsScreen && windowHandle()) {
        m_followsScreen = true;
        connect(windowHandle(), &QWindow::screenChanged, this, &MainWindow::fitScreen);
    }
}

void MainWindow::fitScreen()
{
    const QScreen* shown = screen();
    if (!shown)
        return;
    // Before the window manager has framed the window, allow for a title bar.
    QSize frame = frameGeometry().size() - geometry().size();
    if (frame.isEmpty())
        frame = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize room = shown->availableGeometry().size() - frame;
    const int menuHeight = menuBar()->isNativeMenuBar() ? 0 : menuBar()->sizeHint().height();
    // On a screen too small for the preferred minimum (a laptop at 200%), the content gives way down to what its
    // layout needs, so the whole window fits and still shows every control.
    const QSize needed = m_view->layout() ? m_view->layout()->minimumSize() : QSize();
    m_view->setMinimumSize(MainView::preferredMinimumSize.boundedTo(room - QSize(0, menuHeight)).expandedTo(needed));
    // The window's own minimum follows at once, not at the next layout pass, so the resize below is not held up.
    layout()->activate();
    if (width() > room.width() || height() > room.height())
        resize(size().boundedTo(room));
}
