// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMimeType>

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

// Whether `type` counts as `kind`. An invalid type counts as nothing.
[[nodiscard]] bool conformsTo(const QMimeType& type, ContentKind kind);
