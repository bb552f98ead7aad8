// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct Bundle;

// The application's name as the information dictionary gives it ("⚠️" when it does not).
[[nodiscard]] QString applicationName(const Bundle& bundle);

// Menu items and window titles share these, so "About Velbrook" reads the same in both places.
[[nodiscard]] QString aboutPrefix();
[[nodiscard]] QString helpPrefix();
[[nodiscard]] QString aboutTitle(const Bundle& bundle);
[[nodiscard]] QString helpTitle(const Bundle& bundle);
