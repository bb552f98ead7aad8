// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SourceItemDialog.h"

#include <QFileInfo>
#include <QLineEdit>

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
    // A typed path that ends in "/" opens that folder, as in any file dialog.
    const auto* typed = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const bool entersFolder = typed && typed->text().endsWith(u'/');
    const QStringList chosen = selectedFiles();
    if (!entersFolder && chosen.size() == 1 && QFileInfo(chosen.first()).isDir()) {
        // Skips QFileDialog::accept, which would enter the folder instead of closing.
        QDialog::accept(); // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    QFileDialog::accept();
}
