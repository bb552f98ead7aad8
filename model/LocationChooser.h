// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Location.h"

// What a modal chooser answered: `confirmed` is false when the user cancelled.
// A confirmed answer may still carry no location (OK pressed with nothing chosen).
struct ChooserAnswer {
    bool confirmed = false;
    Location location;
};

// The modal choosers the model runs; the GUI provides real dialogs, tests answer with fakes.
class LocationChooser {
public:
    virtual ~LocationChooser() = default;

    // Lets the user confirm exactly one item: a file, a folder or a bundle.
    [[nodiscard]] virtual ChooserAnswer chooseSource() = 0;
    // Lets the user confirm exactly one folder.
    [[nodiscard]] virtual ChooserAnswer chooseDestination() = 0;
};
