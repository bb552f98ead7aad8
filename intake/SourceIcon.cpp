// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/SourceIcon.h"

#include "intake/ContentTypeReader.h"
#include "intake/ContentTypes.h"

#include <array>
#include <utility>

namespace {

// First match wins, so a zip shows as a zip although it is an archive too, and source code and XML, being text,
// show as text.
constexpr std::array<std::pair<ContentKind, const char*>, 13> symbolsByKind { {
    { ContentKind::Image, "photo" },
    { ContentKind::Audio, "waveform" },
    { ContentKind::Zip, "doc.zipper" },
    { ContentKind::Video, "film" },
    { ContentKind::Pdf, "doc.richtext" },
    { ContentKind::Text, "doc.plaintext" },
    { ContentKind::Spreadsheet, "tablecells" },
    { ContentKind::Presentation, "rectangle.3.offgrid" },
    { ContentKind::Archive, "archivebox" },
    { ContentKind::SourceCode, "chevron.left.slash.chevron.right" },
    { ContentKind::Xml, "curlybraces" },
    { ContentKind::Database, "externaldrive" },
    { ContentKind::AudiovisualContent, "film" },
} };

} // namespace

QString sourceIconName(const Location& location)
{
    if (!location)
        return QStringLiteral("plus.square.dashed");
    const auto type = contentTypeOf(locationPath(location));
    if (!type)
        return QStringLiteral("questionmark.square.dashed");
    if (type->name() == QLatin1String("inode/directory"))
        return QStringLiteral("folder");
    for (const auto& [kind, symbol] : symbolsByKind) {
        if (conformsTo(*type, kind))
            return QString::fromLatin1(symbol);
    }
    return QStringLiteral("doc");
}
