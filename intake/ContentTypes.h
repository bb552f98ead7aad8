// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMimeType>
#include <QStringList>
#include <array>

// The broad kinds of content the source symbol tells apart. Which MIME types count as which kind is Velbrook's own
// table: the MIME database's inheritance says what a file is built from, not what the user sees it as.
enum class ContentKind {
    Image,
    Audio,
    Zip,
    Video,
    Pdf,
    Text,
    Spreadsheet,
    Presentation,
    Archive,
    SourceCode,
    Xml,
    Database,
    AudiovisualContent,
};

inline constexpr std::array allContentKinds {
    ContentKind::Image,
    ContentKind::Audio,
    ContentKind::Zip,
    ContentKind::Video,
    ContentKind::Pdf,
    ContentKind::Text,
    ContentKind::Spreadsheet,
    ContentKind::Presentation,
    ContentKind::Archive,
    ContentKind::SourceCode,
    ContentKind::Xml,
    ContentKind::Database,
    ContentKind::AudiovisualContent,
};

// Whether `type` counts as `kind`. An invalid type counts as nothing.
[[nodiscard]] bool conformsTo(const QMimeType& type, ContentKind kind);

// Every MIME type name the table lists for `kind` (included or excluded), so the table can be checked against the
// database for misspellings.
[[nodiscard]] QStringList mimeNamesListedFor(ContentKind kind);
