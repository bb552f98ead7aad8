// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Copies a file, or a folder or bundle with everything in it (hidden entries too), to `to`, which must not exist.
// Symbolic links are copied as links, never followed or re-pointed; permissions and modification times are kept.
// A folder is never copied into itself. On failure `error` says why; whatever was copied stays for the caller.
[[nodiscard]] bool copyItem(const QString& from, const QString& to, QString* error = nullptr);
