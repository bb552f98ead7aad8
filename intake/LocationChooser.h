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

// Answers every request with the same two locations: for programs that run exports without dialogs.
class FixedLocations final : public LocationChooser {
public:
    FixedLocations(QUrl source, QUrl destination)
        : m_source(std::move(source))
        , m_destination(std::move(destination))
    { }
    [[nodiscard]] ChooserAnswer chooseSource() override { return { true, m_source }; }
    [[nodiscard]] ChooserAnswer chooseDestination() override { return { true, m_destination }; }

private:
    QUrl m_source;
    QUrl m_destination;
};
