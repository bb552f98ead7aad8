// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "intake/SourceIntake.h"
#include "model/ExportModel.h"
#include "views/FileDialogChooser.h"
#include "views/MainView.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <sys/stat.h>

namespace {
// The height of a desktop's panel, as the usual ones draw it.
constexpr int waylandPanelAllowance = 48;
} // namespace

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

bool MainWindow::takeCommandLineItem(const QByteArray& argument)
{
    // Text as text, so a file: URL or a relative path is taken as ever; a path that is no text, byte for byte.
    QUrl item;
    if (QByteArrayView(argument).isValidUtf8())
        item = QUrl::fromUserInput(QString::fromUtf8(argument), QDir::currentPath(), QUrl::AssumeLocalFile);
    else
        item
            = locationOf(argument.startsWith('/') ? argument : QFile::encodeName(QDir::currentPath()) + '/' + argument);
    // Only what exists is taken, as only existing items can be dropped.
    struct stat status { };
    if (!localItemPath(item).isEmpty() && ::stat(locationBytes(item).constData(), &status) == 0)
        return m_model->handleDrop({ item });
    m_model->reportSourceProblem(tr("%1: no such file or folder").arg(QFile::decodeName(argument)));
    return false;
}

void MainWindow::showEvent(QShowEvent* event)
{
    fitScreen();
    QMainWindow::showEvent(event);
    // Again once the frame is there to measure: Wayland's decorations are the app's own, and taller than a guess.
    QTimer::singleShot(0, this, &MainWindow::fitScreen);
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
    // Wayland tells clients no work area, only the whole screen: leave room for a panel, as X11's work area does.
    const int panel = QGuiApplication::platformName().startsWith(u"wayland") ? waylandPanelAllowance : 0;
    const QSize room = shown->availableGeometry().size() - frame - QSize(0, panel);
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
