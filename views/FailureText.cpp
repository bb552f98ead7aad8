// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/FailureText.h"

#include "model/ExportModel.h"

#include <QLocale>
#include <cstring>

QString FailureText::reason(const ExportFailure& failure)
{
    using Kind = imagetool::FailureKind;
    const ToolFailure& told = failure.tool;
    const QLocale locale;
    const auto size = [&locale](qint64 bytes) { return locale.formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat); };
    const QString error = QString::fromLocal8Bit(std::strerror(told.error));
    switch (told.kind) {
    case Kind::Unreadable:
        return tr("cannot read %1: %2").arg(told.path, error);
    case Kind::Changed:
        return tr("%1 changed while it was being imaged").arg(told.path);
    case Kind::CannotWrite:
        return tr("cannot write in %1: %2").arg(told.path, error);
    case Kind::NoRoom:
        return tr("the image needs %1, but %2 has only %3 free").arg(size(told.needed), told.path, size(told.limit));
    case Kind::FileTooLarge:
        return tr("the image needs %1, but %2 holds files of up to %3")
            .arg(size(told.needed), told.path, size(told.limit));
    case Kind::TooManyFolders:
        return tr("%1 has %2 folders, but an ISO 9660 image holds at most %3")
            .arg(told.path, locale.toString(told.needed), locale.toString(told.limit));
    case Kind::Unknown:
        break;
    }
    return failure.reason;
}
