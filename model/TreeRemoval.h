// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Removes `path` and everything below it without following links. Folders copied read-only are made
// writable first, so a staged copy of a read-only folder can still be removed. Holds two descriptors
// whatever the depth. Returns false if anything stayed.
bool removeTree(const std::string& path);
