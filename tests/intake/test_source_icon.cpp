// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFiles.h"
#include "intake/SourceIcon.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

using TestFiles::writeFile;

using namespace Qt::StringLiterals;

namespace {

enum class Setup { NoSource, File, Folder, DanglingLink, LinkToFile, Fifo };

const QByteArray pngBytes = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489");
const QByteArray pdfBytes = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";

} // namespace

// The source area draws whatever symbol comes back, so each needs artwork in the views' resources.
// Outside any namespace, as the resource macro requires.
static bool hasArtwork(const QString& symbolName)
{
    Q_INIT_RESOURCE(icons);
    return QFile::exists(u":/icons/%1.svg"_s.arg(symbolName));
}

class SourceIconTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void symbolForSource_data();
    void symbolForSource();
    void followsTheItemBetweenCalls();

private:
    Location makeSource(Setup setup, const QString& name, const QByteArray& content);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void SourceIconTest::init()
{
    // The symbol lookup stays silent, even for sources that are gone.
    QTest::failOnWarning(QRegularExpression(u".*"_s));
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

Location SourceIconTest::makeSource(Setup setup, const QString& name, const QByteArray& content)
{
    const auto path = m_dir->filePath(name);
    const auto target = m_dir->filePath(u"target"_s);
    bool made = true;
    switch (setup) {
    case Setup::NoSource:
        return std::nullopt;
    case Setup::File:
        made = writeFile(path, content);
        break;
    case Setup::Folder:
        made = QDir().mkpath(path);
        break;
    case Setup::DanglingLink:
        made = QFile::link(target, path);
        break;
    case Setup::LinkToFile:
        made = writeFile(target, content) && QFile::link(target, path);
        break;
    case Setup::Fifo:
        made = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        break;
    }
    if (!made)
        return std::nullopt;
    return QUrl::fromLocalFile(path);
}

void SourceIconTest::symbolForSource_data()
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
    add("dangling link", Setup::DanglingLink, "broken.png", {}, "questionmark.square.dashed");
    add("folder named like a picture", Setup::Folder, "shots.png", {}, "folder");
    add("bundle, any case, chosen with a trailing slash is one item", Setup::Folder, "Foo.APP/", {}, "doc");
    add("link shows what it leads to", Setup::LinkToFile, "latest", pngBytes, "photo");
    add("empty picture judged by its name", Setup::File, "photo.png", {}, "photo");
    add("audio", Setup::File, "tune.flac", {}, "waveform");
    add("zip, an archive too", Setup::File, "bundle.zip", {}, "doc.zipper");
    add("motion jpeg, a video derived from a picture", Setup::File, "clip.mjpeg", {}, "film");
    add("pdf by content, despite its image alias", Setup::File, "paper", pdfBytes, "doc.richtext");
    add("source code, text first", Setup::File, "main.cpp", "int main() {}\n", "doc.plaintext");
    add("xml, text first", Setup::File, "data.xml", "<?xml version=\"1.0\"?><a/>\n", "doc.plaintext");
    add("flat xml spreadsheet is no text", Setup::File, "budget.fods", {}, "tablecells");
    add("presentation, a zip inside", Setup::File, "talk.pptx", {}, "rectangle.3.offgrid");
    add("compressed tar", Setup::File, "backup.tar.gz", {}, "archivebox");
    add("database", Setup::File, "catalog.mdb", {}, "externaldrive");
    add("ogg container, neither audio nor video by name", Setup::File, "stream.ogx", {}, "film");
    add("word document, a zip inside", Setup::File, "letter.docx", {}, "doc");
    add("named pipe is not read", Setup::Fifo, "pipe", {}, "doc");
}

void SourceIconTest::symbolForSource()
{
    QFETCH(Setup, setup);
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);

    const auto location = makeSource(setup, name, content);
    QCOMPARE(location.has_value(), setup != Setup::NoSource);
    const auto symbol = sourceIconName(location);
    QCOMPARE(symbol, expected);
    QVERIFY2(hasArtwork(symbol), qPrintable(symbol));
}

void SourceIconTest::followsTheItemBetweenCalls()
{
    const auto path = m_dir->filePath(u"changing.png"_s);
    const auto location = Location(QUrl::fromLocalFile(path));

    QVERIFY(writeFile(path, pngBytes));
    QCOMPARE(sourceIconName(location), u"photo"_s);
    QVERIFY(QFile::remove(path));
    QCOMPARE(sourceIconName(location), u"questionmark.square.dashed"_s);
    QVERIFY(QDir().mkdir(path));
    QCOMPARE(sourceIconName(location), u"folder"_s);
}

QTEST_GUILESS_MAIN(SourceIconTest)
#include "test_source_icon.moc"

