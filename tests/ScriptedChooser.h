// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "intake/LocationChooser.h"

// Answers the model's dialogs as a test tells it to, and counts how often it was asked.
class ScriptedChooser : public LocationChooser {
public:
    ChooserAnswer sourceAnswer;
    ChooserAnswer destinationAnswer;
    int sourceRequests = 0;
    int destinationRequests = 0;

    ChooserAnswer chooseSource() override { return ++sourceRequests, sourceAnswer; }
    ChooserAnswer chooseDestination() override { return ++destinationRequests, destinationAnswer; }
};
