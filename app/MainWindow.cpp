// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "model/ExportModel.h"
#include "views/FileDialogChooser.h"
#include "views/MainView.h"

MainWindow::MainWindow(const QString& imageToolPath, const QString& title, QWidget* parent)
    : QMainWindow(parent)
    , m_model(ExportModel::create(imageToolPath, std::make_shared<FileDialogChooser>(this)))
    , m_view(new MainView(m_model))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setCentralWidget(m_view);
    setMinimumSize(m_view->minimumSize());
}

bool MainWindow::takeSource(const QUrl& item)
{
    return m_model->handleDrop({ item });
}
