// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/FileDialogChooser.h"

#include "model/ExportModel.h"
#include "views/Commands.h"
#include "views/SourceItemDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

[[nodiscard]] ChooserAnswer answerOf(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.size() != 1)
        return { true, {} };
    return { true, QUrl::fromLocalFile(chosen.first()) };
}

// `folder` when it is still there, else the home folder.
[[nodiscard]] QString existingOrHome(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

} // namespace

FileDialogChooser::FileDialogChooser(QWidget* window)
    : m_window(window)
{ }

void FileDialogChooser::startFrom(std::weak_ptr<const ExportModel> model)
{
    m_model = std::move(model);
}

ChooserAnswer FileDialogChooser::chooseSource()
{
    SourceItemDialog dialog(m_window);
    dialog.setWindowTitle(selectSourceCommand().title);
    const auto model = m_model.lock();
    const QString source = model ? locationPath(model->selectedSourceURL()) : QString();
    dialog.setDirectory(existingOrHome(source.isEmpty() ? QString() : QFileInfo(source).absolutePath()));
    return answerOf(dialog);
}

ChooserAnswer FileDialogChooser::chooseDestination()
{
    QFileDialog dialog(m_window, selectDestinationCommand().title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    const auto model = m_model.lock();
    dialog.setDirectory(existingOrHome(model ? locationPath(model->selectedDestinationURL()) : QString()));
    return answerOf(dialog);
}
