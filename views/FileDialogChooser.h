// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "intake/LocationChooser.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class ExportModel;

// The model's choosers as modal file dialogs over one main window.
class FileDialogChooser final : public LocationChooser {
public:
    // `window` may close before the model lets go of the chooser; the dialogs then have no parent.
    explicit FileDialogChooser(QWidget* window);

    // The dialogs open where `model`'s current choices are: the source's folder, the destination folder.
    // Without a choice (or without the model) they open in the home folder, never the working directory.
    void startFrom(std::weak_ptr<const ExportModel> model);

    [[nodiscard]] ChooserAnswer chooseSource() override;
    [[nodiscard]] ChooserAnswer chooseDestination() override;

private:
    QPointer<QWidget> m_window;
    // Weak: the model owns this chooser.
    std::weak_ptr<const ExportModel> m_model;
};
