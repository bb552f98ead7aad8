// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileDialog>

// A file dialog that confirms exactly one existing item, which may be a file, a folder or a bundle.
// Qt's dialog enters a folder when Open is pressed on it; here Open takes the selected folder as the choice,
// while a double-click, or a typed path ending in "/", still enters it.
class SourceItemDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit SourceItemDialog(QWidget* parent = nullptr);

    void accept() override;
};
