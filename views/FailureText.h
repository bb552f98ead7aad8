// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

struct ExportFailure;

// Why an export failed, as the window says it: in the user's language where the image tool told what went wrong,
// else the reason as it came.
class FailureText {
    Q_DECLARE_TR_FUNCTIONS(FailureText)

public:
    [[nodiscard]] static QString reason(const ExportFailure& failure);
};
