// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/LocationChooser.h"

#include <QPointer>
#include <QWidget>

// The model's choosers as modal file dialogs over one main window.
class FileDialogChooser final : public LocationChooser {
public:
    // `window` may close before the model lets go of the chooser; the dialogs then have no parent.
    explicit FileDialogChooser(QWidget* window);

    [[nodiscard]] ChooserAnswer chooseSource() override;
    [[nodiscard]] ChooserAnswer chooseDestination() override;

private:
    QPointer<QWidget> m_window;
};
