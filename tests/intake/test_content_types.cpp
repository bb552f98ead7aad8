// SPDX-License-Identifier: GPL-3.0-or-later
#include "intake/ContentTypes.h"

#include <QMimeDatabase>
#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(ContentKind)

class TestContentTypes : public QObject {
    Q_OBJECT

private slots:
    void conformance_data();
    void conformance();
    void genericTypesConformToNothing_data();
    void genericTypesConformToNothing();
    void everyKindHasMembers();
    void listedNamesAreKnown();
};

void TestContentTypes::conformance_data()
{
    QTest::addColumn<QString>("mimeName");
    QTest::addColumn<ContentKind>("kind");
    QTest::addColumn<bool>("expected");

    const auto add = [](const char* mimeName, ContentKind kind, bool expected, const char* why) {
        QTest::addRow("%s %s", mimeName, why) << QString::fromLatin1(mimeName) << kind << expected;
    };

    add("image/svg+xml", ContentKind::Xml, true, "is also xml");
    add("video/x-mjpeg", ContentKind::Image, false, "is not an image although derived from jpeg");
    add("video/x-mjpeg", ContentKind::Video, true, "is a video");
    add("application/pdf", ContentKind::Image, false, "is not an image despite its image/pdf alias");

    add("audio/mpeg", ContentKind::AudiovisualContent, true, "is audiovisual too");
    add("audio/mpeg", ContentKind::Video, false, "is not video");
    add("audio/webm", ContentKind::Video, false, "is not video although derived from it");
    add("video/mp4", ContentKind::AudiovisualContent, true, "is audiovisual too");
    add("application/ogg", ContentKind::Video, false, "is not known to be video");
    add("application/ogg", ContentKind::Audio, false, "is not known to be audio");

    add("application/zip", ContentKind::Archive, true, "is an archive too");
    add("application/x-java-archive", ContentKind::Zip, false, "is not shown as a zip");
    add("application/x-java-archive", ContentKind::Archive, true, "is an archive");
    add("application/epub+zip", ContentKind::Zip, false, "is a book, not a zip");
    add("application/epub+zip", ContentKind::Archive, false, "is a book, not an archive");
    add("application/vnd.comicbook-rar", ContentKind::Archive, false, "is a book, not an archive");
    add("application/vnd.openxmlformats-officedocument.wordprocessingml.document", ContentKind::Zip, false,
        "is a document, not a zip");
    add("application/vnd.openxmlformats-officedocument.wordprocessingml.document", ContentKind::Archive, false,
        "is a document, not an archive");
    add("application/gzip", ContentKind::Archive, true, "is an archive");
    add("application/x-rar", ContentKind::Archive, true, "(an alias) is an archive");
    add("application/x-cd-image", ContentKind::Archive, false, "is a disc, not an archive");

    add("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", ContentKind::Spreadsheet, true,
        "is a spreadsheet");
    add("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", ContentKind::Zip, false, "is not a zip");
    add("application/vnd.ms-excel.sheet.macroEnabled.12", ContentKind::Spreadsheet, true, "is a spreadsheet");
    add("application/vnd.oasis.opendocument.spreadsheet", ContentKind::Archive, false, "is not an archive");
    add("application/vnd.oasis.opendocument.spreadsheet-flat-xml", ContentKind::Spreadsheet, true, "is a spreadsheet");
    add("application/vnd.oasis.opendocument.spreadsheet-flat-xml", ContentKind::Text, false, "is not text");
    add("application/vnd.oasis.opendocument.text-flat-xml", ContentKind::Xml, false, "is not xml");
    add("text/csv", ContentKind::Spreadsheet, false, "is text, not a spreadsheet");
    add("application/vnd.openxmlformats-officedocument.presentationml.presentation", ContentKind::Presentation, true,
        "is a presentation");
    add("application/vnd.openxmlformats-officedocument.presentationml.presentation", ContentKind::Zip, false,
        "is not a zip");
    add("application/vnd.ms-powerpoint.slideshow.macroEnabled.12", ContentKind::Presentation, true,
        "is a presentation");
    add("application/vnd.ms-powerpoint", ContentKind::Spreadsheet, false, "is not a spreadsheet");

    add("text/x-python", ContentKind::SourceCode, true, "is source code");
    add("text/x-python", ContentKind::Text, true, "is text too");
    add("text/x-c++hdr", ContentKind::SourceCode, true, "is source code");
    add("application/javascript", ContentKind::SourceCode, true, "is source code");
    add("application/x-shellscript", ContentKind::SourceCode, true, "is source code");
    add("text/plain", ContentKind::SourceCode, false, "is not source code");
    add("application/xml", ContentKind::Xml, true, "is xml");
    add("application/xml", ContentKind::Text, true, "is text too");
    add("text/xml", ContentKind::Xml, true, "(an alias) is xml");
    add("application/pdf", ContentKind::Text, false, "is not text");

    add("application/x-kexiproject-sqlite3", ContentKind::Database, true, "is a database");
    add("application/vnd.oasis.opendocument.database", ContentKind::Database, true, "is a database");
    add("application/vnd.oasis.opendocument.database", ContentKind::Zip, false, "is not a zip");
}

void TestContentTypes::conformance()
{
    QFETCH(QString, mimeName);
    QFETCH(ContentKind, kind);
    QFETCH(bool, expected);

    const auto type = QMimeDatabase().mimeTypeForName(mimeName);
    QVERIFY2(type.isValid(), qPrintable(mimeName));
    QCOMPARE(conformsTo(type, kind), expected);
}

void TestContentTypes::genericTypesConformToNothing_data()
{
    QTest::addColumn<QString>("mimeName");
    QTest::newRow("unknown bytes") << QStringLiteral("application/octet-stream");
    QTest::newRow("empty file") << QStringLiteral("application/x-zerosize");
    QTest::newRow("folder") << QStringLiteral("inode/directory");
    QTest::newRow("named pipe") << QStringLiteral("inode/fifo");
    QTest::newRow("invalid type") << QString();
}

void TestContentTypes::genericTypesConformToNothing()
{
    QFETCH(QString, mimeName);
    const auto type = QMimeDatabase().mimeTypeForName(mimeName);
    QCOMPARE(type.isValid(), !mimeName.isEmpty());
    for (const auto kind : allContentKinds)
        QVERIFY2(!conformsTo(type, kind), qPrintable(QString::number(static_cast<int>(kind))));
}

void TestContentTypes::everyKindHasMembers()
{
    const auto types = QMimeDatabase().allMimeTypes();
    for (const auto kind : allContentKinds) {
        const auto member
            = std::ranges::any_of(types, [kind](const QMimeType& type) { return conformsTo(type, kind); });
        QVERIFY2(member, qPrintable(QString::number(static_cast<int>(kind))));
    }
}

void TestContentTypes::listedNamesAreKnown()
{
    const QMimeDatabase database;
    for (const auto kind : allContentKinds) {
        for (const auto& name : mimeNamesListedFor(kind))
            QVERIFY2(database.mimeTypeForName(name).isValid(), qPrintable(name));
    }
}

QTEST_GUILESS_MAIN(TestContentTypes)
#include "test_content_types.moc"
