// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SourceItemDialog.h"

#include <QFileInfo>

SourceItemDialog::SourceItemDialog(QWidget* parent)
    : QFileDialog(parent)
{
    // The accept step below only exists in Qt's own dialog; a native one would never call it.
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
}

void SourceItemDialog::accept()
{
    const QStringList chosen = selectedFiles();
    if (chosen.size() == 1 && QFileInfo(chosen.first()).isDir()) {
        // Skips QFileDialog::accept, which would enter the folder instead of closing.
        QDialog::accept(); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    QFileDialog::accept();
}
