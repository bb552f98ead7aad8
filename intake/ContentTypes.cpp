// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/ContentTypes.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

struct Conformance {
    ContentKind kind;
    // Top-level media types ("image") whose members all conform. Matched on the canonical name only: aliases and
    // parents cross families (PDF is aliased image/pdf, Motion JPEG video derives from JPEG).
    QStringList mediaTypes;
    // These types and everything the database derives from them.
    QStringList derived;
    // These types only, not what derives from them.
    QStringList exact;
    // Never conform, nor anything derived from them, whatever matched above.
    QStringList excluded;
};

// Flat-XML office documents are XML underneath, but the user sees a document.
const QStringList flatOfficeDocuments {
    QStringLiteral("application/vnd.oasis.opendocument.text-flat-xml"),
    QStringLiteral("application/vnd.oasis.opendocument.spreadsheet-flat-xml"),
    QStringLiteral("application/vnd.oasis.opendocument.presentation-flat-xml"),
    QStringLiteral("application/vnd.oasis.opendocument.graphics-flat-xml"),
};

const std::vector<Conformance>& conformanceTable()
{
    static const std::vector<Conformance> table {
        { ContentKind::Image, { QStringLiteral("image") },
            { QStringLiteral("application/x-krita"), QStringLiteral("application/vnd.oasis.opendocument.image") }, {},
            {} },
        { ContentKind::Audio, { QStringLiteral("audio") }, {}, {}, {} },
        // Only a real zip: office documents, EPUB, JAR and the like are zips inside but not to the user.
        { ContentKind::Zip, {}, {}, { QStringLiteral("application/zip") }, {} },
        { ContentKind::Video, { QStringLiteral("video") }, {}, {}, {} },
        { ContentKind::Pdf, {}, { QStringLiteral("application/pdf") }, {}, {} },
        { ContentKind::Text, {}, { QStringLiteral("text/plain") }, {}, flatOfficeDocuments },
        { ContentKind::Spreadsheet, {},
            {
                QStringLiteral("application/vnd.oasis.opendocument.spreadsheet"),
                QStringLiteral("application/vnd.oasis.opendocument.spreadsheet-template"),
                QStringLiteral("application/vnd.oasis.opendocument.spreadsheet-flat-xml"),
                QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"),
                QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.template"),
                QStringLiteral("application/vnd.ms-excel"),
                QStringLiteral("application/vnd.apple.numbers"),
                QStringLiteral("application/vnd.sun.xml.calc"),
                QStringLiteral("application/vnd.sun.xml.calc.template"),
                QStringLiteral("application/vnd.stardivision.calc"),
                QStringLiteral("application/vnd.lotus-1-2-3"),
                QStringLiteral("application/x-gnumeric"),
                QStringLiteral("application/x-kspread"),
                QStringLiteral("application/x-quattropro"),
            },
            {}, {} },
        { ContentKind::Presentation, {},
            {
                QStringLiteral("application/vnd.oasis.opendocument.presentation"),
                QStringLiteral("application/vnd.oasis.opendocument.presentation-template"),
                QStringLiteral("application/vnd.oasis.opendocument.presentation-flat-xml"),
                QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.presentation"),
                QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.slideshow"),
                QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.template"),
                QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.slide"),
                QStringLiteral("application/vnd.ms-powerpoint"),
                QStringLiteral("application/vnd.apple.keynote"),
                QStringLiteral("application/vnd.sun.xml.impress"),
                QStringLiteral("application/vnd.sun.xml.impress.template"),
                QStringLiteral("application/vnd.stardivision.impress"),
                QStringLiteral("application/x-kpresenter"),
            },
            {}, {} },
        // Compressed single files (.gz, .xz, ...) count too: the user unpacks them like any archive. JAR is listed
        // because it derives from zip, which is taken exactly; comic books are read, not unpacked.
        { ContentKind::Archive, {},
            {
                QStringLiteral("application/x-tar"),
                QStringLiteral("application/x-ustar"),
                QStringLiteral("application/gzip"),
                QStringLiteral("application/x-bzip"),
                QStringLiteral("application/x-xz"),
                QStringLiteral("application/zstd"),
                QStringLiteral("application/x-lzma"),
                QStringLiteral("application/x-lzip"),
                QStringLiteral("application/x-lz4"),
                QStringLiteral("application/x-lzop"),
                QStringLiteral("application/x-lrzip"),
                QStringLiteral("application/x-compress"),
                QStringLiteral("application/x-7z-compressed"),
                QStringLiteral("application/vnd.rar"),
                QStringLiteral("application/x-cpio"),
                QStringLiteral("application/x-archive"),
                QStringLiteral("application/x-shar"),
                QStringLiteral("application/vnd.ms-cab-compressed"),
                QStringLiteral("application/x-arj"),
                QStringLiteral("application/x-lha"),
                QStringLiteral("application/x-ace"),
                QStringLiteral("application/x-zoo"),
                QStringLiteral("application/x-stuffit"),
                QStringLiteral("application/x-xar"),
                QStringLiteral("application/x-rpm"),
                QStringLiteral("application/vnd.debian.binary-package"),
                QStringLiteral("application/x-java-archive"),
            },
            { QStringLiteral("application/zip") },
            {
                QStringLiteral("application/vnd.comicbook+zip"),
                QStringLiteral("application/vnd.comicbook-rar"),
                QStringLiteral("application/x-cb7"),
                QStringLiteral("application/x-cbt"),
            } },
        { ContentKind::SourceCode, {},
            {
                QStringLiteral("text/x-csrc"), // also C++, Objective-C, C#, Java, D, Vala and headers
                QStringLiteral("text/rust"),
                QStringLiteral("text/x-go"),
                QStringLiteral("text/x-python"),
                QStringLiteral("application/x-shellscript"),
                QStringLiteral("application/ecmascript"), // also JavaScript
                QStringLiteral("application/x-perl"),
                QStringLiteral("application/x-php"),
                QStringLiteral("application/x-ruby"),
                QStringLiteral("application/x-awk"),
                QStringLiteral("application/sql"),
                QStringLiteral("text/x-kotlin"),
                QStringLiteral("text/x-scala"),
                QStringLiteral("text/x-haskell"),
                QStringLiteral("text/x-lua"),
                QStringLiteral("text/x-pascal"),
                QStringLiteral("text/x-fortran"),
                QStringLiteral("text/x-adasrc"),
                QStringLiteral("text/x-ocaml"),
                QStringLiteral("text/x-erlang"),
                QStringLiteral("text/x-scheme"),
                QStringLiteral("text/x-common-lisp"),
                QStringLiteral("text/x-emacs-lisp"),
                QStringLiteral("text/x-matlab"),
                QStringLiteral("text/x-qml"),
                QStringLiteral("text/x-vhdl"),
                QStringLiteral("text/x-verilog"),
                QStringLiteral("text/x-makefile"),
                QStringLiteral("text/x-cmake"),
            },
            {}, {} },
        { ContentKind::Xml, {}, { QStringLiteral("application/xml") }, {}, flatOfficeDocuments },
        { ContentKind::Database, {},
            {
                QStringLiteral("application/vnd.sqlite3"),
                QStringLiteral("application/x-sqlite2"),
                QStringLiteral("application/vnd.ms-access"),
                QStringLiteral("application/x-dbf"),
                QStringLiteral("application/x-gdbm"),
                QStringLiteral("application/vnd.oasis.opendocument.database"),
            },
            {}, {} },
        // Containers that may hold sound, pictures or both.
        { ContentKind::AudiovisualContent, { QStringLiteral("audio"), QStringLiteral("video") },
            {
                QStringLiteral("application/ogg"),
                QStringLiteral("application/x-matroska"),
                QStringLiteral("application/vnd.ms-asf"),
                QStringLiteral("application/vnd.rn-realmedia"),
                QStringLiteral("application/mxf"),
                QStringLiteral("application/annodex"),
            },
            {}, {} },
    };
    return table;
}

const Conformance* conformanceFor(ContentKind kind)
{
    const auto& table = conformanceTable();
    const auto found = std::ranges::find(table, kind, &Conformance::kind);
    return found == table.end() ? nullptr : &*found;
}

} // namespace

bool conformsTo(const QMimeType& type, ContentKind kind)
{
    const auto* row = conformanceFor(kind);
    if (!row || !type.isValid())
        return false;
    const auto inheritsAny = [&type](const QStringList& names) {
        return std::ranges::any_of(names, [&type](const QString& name) { return type.inherits(name); });
    };
    if (inheritsAny(row->excluded))
        return false;
    if (row->mediaTypes.contains(type.name().section(u'/', 0, 0)))
        return true;
    if (inheritsAny(row->derived))
        return true;
    return std::ranges::any_of(
        row->exact, [&type](const QString& name) { return type.name() == name || type.aliases().contains(name); });
}
