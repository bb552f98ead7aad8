// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoredZip.h"
#include "intake/SourceIcon.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

namespace {

enum class Setup { NoSource, WebAddress, File, Folder, Missing, DanglingLink, LinkToFile, LinkToFolder, Fifo };

const QByteArray pngBytes = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489");
const QByteArray pdfBytes = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";
const QByteArray sqliteBytes = QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\0');
const QByteArray wavBytes = QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16) + QByteArray(20, '\0');
const QByteArray svgBytes = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1\" height=\"1\"/>\n";
const QByteArray linguistBytes
    = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\">\n</TS>\n";
const QByteArray binaryBytes = QByteArray::fromHex("00ff13fe42001b7f80c39a0e");

// Five packets of an MPEG transport stream: only the sync bytes tell it from a translation file.
QByteArray transportStreamBytes()
{
    QByteArray packet(188, '\xff');
    packet[0] = '\x47';
    return packet.repeated(5);
}

QByteArray officeZip(const QByteArray& mimetype, const QByteArray& part)
{
    QList<QPair<QByteArray, QByteArray>> entries;
    if (!mimetype.isEmpty())
        entries.append(qMakePair(QByteArray("mimetype"), mimetype));
    entries.append(qMakePair(QByteArray("[Content_Types].xml"), QByteArray("<?xml version=\"1.0\"?><Types/>")));
    entries.append(qMakePair(part, QByteArray("<?xml version=\"1.0\"?><document/>")));
    return storedZip(entries);
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

class TestSourceIcon : public QObject {
    Q_OBJECT

private slots:
    void init();
    void symbolForSource_data();
    void symbolForSource();
    void followsTheItemBetweenCalls();

private:
    Location makeSource(Setup setup, const QString& name, const QByteArray& content);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSourceIcon::init()
{
    // The symbol lookup stays silent, even for sources that are gone.
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
    // A fresh folder per case, so no case sees another's files.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

Location TestSourceIcon::makeSource(Setup setup, const QString& name, const QByteArray& content)
{
    const auto path = m_dir->filePath(name);
    const auto target = m_dir->filePath(QStringLiteral("target-of-") + name);
    const auto encoded = QFile::encodeName(path);
    switch (setup) {
    case Setup::NoSource:
        return std::nullopt;
    case Setup::WebAddress:
        return QUrl(QStringLiteral("https://example.org/") + name);
    case Setup::File:
        if (!writeFile(path, content))
            return std::nullopt;
        break;
    case Setup::Folder:
        if (!QDir().mkpath(path))
            return std::nullopt;
        break;
    case Setup::Missing:
        if (!writeFile(path, content) || !QFile::remove(path))
            return std::nullopt;
        break;
    case Setup::DanglingLink:
        if (!QFile::link(target, path))
            return std::nullopt;
        break;
    case Setup::LinkToFile:
        if (!writeFile(target, content) || !QFile::link(target, path))
            return std::nullopt;
        break;
    case Setup::LinkToFolder:
        if (!QDir().mkpath(target) || !QFile::link(target, path))
            return std::nullopt;
        break;
    case Setup::Fifo:
        if (::mkfifo(encoded.constData(), 0600) != 0)
            return std::nullopt;
        break;
    }
    return QUrl::fromLocalFile(path);
}

void TestSourceIcon::symbolForSource_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    const auto add
        = [](const char* tag, Setup setup, const char* name, const QByteArray& content, const char* expected) {
              QTest::newRow(tag) << setup << QString::fromUtf8(name) << content << QString::fromUtf8(expected);
          };

    add("no source", Setup::NoSource, "", {}, "plus.square.dashed");

    add("deleted source", Setup::Missing, "gone.png", pngBytes, "questionmark.square.dashed");
    add("dangling link", Setup::DanglingLink, "broken.png", {}, "questionmark.square.dashed");
    add("web address", Setup::WebAddress, "photo.png", {}, "questionmark.square.dashed");

    add("plain folder", Setup::Folder, "Holiday", {}, "folder");
    add("folder named like a picture", Setup::Folder, "shots.png", {}, "folder");
    add("folder chosen with a trailing slash", Setup::Folder, "Holiday/", {}, "folder");
    add("link to a folder", Setup::LinkToFolder, "shortcut", {}, "folder");

    add("application bundle", Setup::Folder, "Foo.app", {}, "doc");
    add("bundle chosen with a trailing slash", Setup::Folder, "Foo.app/", {}, "doc");
    add("bundle with upper-case extension", Setup::Folder, "Foo.APP", {}, "doc");
    add("framework", Setup::Folder, "Kit.framework", {}, "doc");
    add("plug-in", Setup::Folder, "Filter.plugin", {}, "doc");
    add("kernel extension", Setup::Folder, "Driver.kext", {}, "doc");
    add("resource bundle", Setup::Folder, "Strings.bundle", {}, "doc");

    add("png", Setup::File, "photo.png", pngBytes, "photo");
    add("empty png", Setup::File, "photo.png", {}, "photo");
    add("png without extension", Setup::File, "photo", pngBytes, "photo");
    add("svg", Setup::File, "drawing.svg", svgBytes, "photo");
    add("link to a picture", Setup::LinkToFile, "latest", pngBytes, "photo");

    add("wav", Setup::File, "tune.wav", wavBytes, "waveform");
    add("empty flac", Setup::File, "tune.flac", {}, "waveform");

    add("zip", Setup::File, "bundle.zip", storedZip({ { "hello.txt", "hello" } }), "doc.zipper");
    add("zip without extension", Setup::File, "bundle", storedZip({ { "hello.txt", "hello" } }), "doc.zipper");

    add("mp4", Setup::File, "clip.mp4", {}, "film");
    add("matroska", Setup::File, "clip.mkv", {}, "film");
    add("motion jpeg", Setup::File, "clip.mjpeg", {}, "film");
    add("transport stream sharing the .ts extension", Setup::File, "clip.ts", transportStreamBytes(), "film");

    add("pdf", Setup::File, "paper.pdf", pdfBytes, "doc.richtext");
    add("pdf without extension", Setup::File, "paper", pdfBytes, "doc.richtext");

    add("plain text", Setup::File, "notes.txt", "Buy milk\n", "doc.plaintext");
    add("text without extension", Setup::File, "notes", "Buy milk\n", "doc.plaintext");
    add("csv", Setup::File, "table.csv", "a,b\n1,2\n", "doc.plaintext");
    add("translation sharing the .ts extension", Setup::File, "strings.ts", linguistBytes, "doc.plaintext");
    add("c++ source is text first", Setup::File, "main.cpp", "int main() {}\n", "doc.plaintext");
    add("python source is text first", Setup::File, "script.py", "print('hi')\n", "doc.plaintext");
    add("shell script is text first", Setup::File, "run.sh", "#!/bin/sh\necho hi\n", "doc.plaintext");
    add("xml is text first", Setup::File, "data.xml", "<?xml version=\"1.0\"?><a/>\n", "doc.plaintext");

    add("xlsx", Setup::File, "budget.xlsx", officeZip({}, "xl/workbook.xml"), "tablecells");
    const auto ods = officeZip("application/vnd.oasis.opendocument.spreadsheet", "content.xml");
    add("ods", Setup::File, "budget.ods", ods, "tablecells");
    add("ods without extension", Setup::File, "budget", ods, "tablecells");
    add("xls", Setup::File, "budget.xls", {}, "tablecells");
    add("flat xml ods", Setup::File, "budget.fods", "<?xml version=\"1.0\"?><office:document/>\n", "tablecells");

    add("pptx", Setup::File, "talk.pptx", officeZip({}, "ppt/presentation.xml"), "rectangle.3.offgrid");
    add("odp", Setup::File, "talk.odp", officeZip("application/vnd.oasis.opendocument.presentation", "content.xml"),
        "rectangle.3.offgrid");
    add("ppt", Setup::File, "talk.ppt", {}, "rectangle.3.offgrid");

    add("docx is a document, not a zip", Setup::File, "letter.docx", officeZip({}, "word/document.xml"), "doc");
    add("epub is a book, not a zip", Setup::File, "book.epub", officeZip("application/epub+zip", "content.opf"), "doc");

    add("tar", Setup::File, "backup.tar", {}, "archivebox");
    add("gzipped tar", Setup::File, "backup.tar.gz", QByteArray::fromHex("1f8b0800000000000003"), "archivebox");
    add("7z", Setup::File, "backup.7z", {}, "archivebox");
    add("rar", Setup::File, "backup.rar", {}, "archivebox");
    add("xz", Setup::File, "backup.xz", {}, "archivebox");
    add("bzip2", Setup::File, "backup.bz2", {}, "archivebox");
    add("zstandard", Setup::File, "backup.zst", {}, "archivebox");
    add("jar", Setup::File, "tool.jar", storedZip({ { "META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n" } }),
        "archivebox");

    add("sqlite", Setup::File, "library.sqlite3", sqliteBytes, "externaldrive");
    add("sqlite found by content", Setup::File, "library.db", sqliteBytes, "externaldrive");
    add("access", Setup::File, "catalog.mdb", {}, "externaldrive");

    add("ogg container", Setup::File, "stream.ogx", {}, "film");
    add("mxf container", Setup::File, "master.mxf", {}, "film");
    add("realmedia", Setup::File, "show.rm", {}, "film");

    add("unknown binary", Setup::File, "program.bin", binaryBytes, "doc");
    add("empty file without extension", Setup::File, "empty", {}, "doc");
    add("disc image", Setup::File, "disc.iso", {}, "doc");
    add("named pipe is not read", Setup::Fifo, "pipe", {}, "doc");
}

void TestSourceIcon::symbolForSource()
{
    QFETCH(Setup, setup);
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    const auto location = makeSource(setup, name, content);
    QCOMPARE(location.has_value(), setup != Setup::NoSource);
    QCOMPARE(sourceIconName(location), expected);
}

void TestSourceIcon::followsTheItemBetweenCalls()
{
    const auto path = m_dir->filePath(QStringLiteral("changing.png"));
    const auto location = Location(QUrl::fromLocalFile(path));

    QVERIFY(writeFile(path, pngBytes));
    QCOMPARE(sourceIconName(location), QStringLiteral("photo"));
    QVERIFY(QFile::remove(path));
    QCOMPARE(sourceIconName(location), QStringLiteral("questionmark.square.dashed"));
    QVERIFY(QDir().mkdir(path));
    QCOMPARE(sourceIconName(location), QStringLiteral("folder"));
}

QTEST_GUILESS_MAIN(TestSourceIcon)
#include "test_source_icon.moc"
