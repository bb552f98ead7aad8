// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/FileDialogChooser.h"

#include "views/Commands.h"
#include "views/SourceItemDialog.h"

#include <QFileDialog>

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

} // namespace

FileDialogChooser::FileDialogChooser(QWidget* window)
    : m_window(window)
{ }

ChooserAnswer FileDialogChooser::chooseSource()
{
    SourceItemDialog dialog(m_window);
    dialog.setWindowTitle(selectSourceCommand().title);
    return answerOf(dialog);
}

ChooserAnswer FileDialogChooser::chooseDestination()
{
    QFileDialog dialog(m_window, selectDestinationCommand().title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return answerOf(dialog);
}
