// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// A real, uncompressed zip archive holding `entries` (name, content) in order, for tests that need files the MIME
// database recognises by content.
[[nodiscard]] QByteArray storedZip(const QList<QPair<QByteArray, QByteArray>>& entries);
