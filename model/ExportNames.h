// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The source's last path element, unchanged: "Installer.app".
[[nodiscard]] QString itemName(const QString& sourcePath);
// The item name without its last extension: "Installer.app" -> "Installer", "notes.tar.gz" -> "notes.tar".
// A leading dot starts a hidden name, not an extension: ".profile" stays ".profile".
[[nodiscard]] QString baseName(const QString& sourcePath);
// destination + base name + ".iso"
[[nodiscard]] QString outputImagePath(const QString& destinationPath, const QString& baseName);
