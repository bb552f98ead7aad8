// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Location.h"

#include <QString>

// The symbol name that shows what kind of item the source is ("folder", "photo", ...).
[[nodiscard]] QString sourceIconName(const Location& location);
