// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF, no sequence cut off at the end.
[[nodiscard]] bool isValidUtf8(QByteArrayView bytes);
