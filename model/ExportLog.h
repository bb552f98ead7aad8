// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// What an export does (where and how it stages, the tool's start and end, cleanup); off unless enabled with
// QT_LOGGING_RULES="velbrook.export.debug=true".
Q_DECLARE_LOGGING_CATEGORY(exportLog)
