// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFiles.h"
#include "intake/SourceIcon.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using TestFiles::writeFile;
using namespace Qt::StringLiterals;

namespace {

enum class Setup { NoSource, Missing, File, Folder, DanglingLink, LinkToFile, Fifo };

const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c489");
const QByteArray pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n";

const struct {
    const char* tag;
    Setup setup;
    const char* name;
    QByteArray content;
    const char* expected;
} rows[] = {
    { "no source", Setup::NoSource, "", {}, "plus.square.dashed" },
    { "item gone", Setup::Missing, "gone.png", {}, "questionmark.square.dashed" },
    { "dangling link", Setup::DanglingLink, "broken.png", {}, "questionmark.square.dashed" },
    { "folder named like a picture", Setup::Folder, "shots.png", {}, "folder" },
    { "bundle, any case, chosen with a trailing slash is one item", Setup::Folder, "Foo.APP/", {}, "doc" },
    { "link shows what it leads to", Setup::LinkToFile, "latest", png, "photo" },
    { "empty picture judged by its name", Setup::File, "photo.png", {}, "photo" },
    { "audio", Setup::File, "tune.flac", {}, "waveform" },
    { "zip, an archive too", Setup::File, "bundle.zip", {}, "doc.zipper" },
    { "motion jpeg, a video derived from a picture", Setup::File, "clip.mjpeg", {}, "film" },
    { "pdf by content, despite its image alias", Setup::File, "paper", pdf, "doc.richtext" },
    { "source code, text first", Setup::File, "main.cpp", "int main() {}\n", "doc.plaintext" },
    { "xml, text first", Setup::File, "data.xml", "<?xml version=\"1.0\"?><a/>\n", "doc.plaintext" },
    { "flat xml spreadsheet is no text", Setup::File, "budget.fods", {}, "tablecells" },
    { "presentation, a zip inside", Setup::File, "talk.pptx", {}, "rectangle.3.offgrid" },
    { "compressed tar", Setup::File, "backup.tar.gz", {}, "archivebox" },
    { "database", Setup::File, "catalog.mdb", {}, "externaldrive" },
    { "ogg container, neither audio nor video by name", Setup::File, "stream.ogx", {}, "film" },
    { "word document, a zip inside", Setup::File, "letter.docx", {}, "doc" },
    { "named pipe is not read", Setup::Fifo, "pipe", {}, "doc" },
};

} // namespace

class SourceIconTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Q_INIT_RESOURCE(icons); }
    // The symbol lookup stays silent, even for sources that are gone.
    void init() { QTest::failOnWarning(QRegularExpression(u".*"_s)); }

    void symbolForSource_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(rows)); ++i)
            QTest::newRow(rows[i].tag) << i;
    }

    void symbolForSource()
    {
        QFETCH(int, row);
        const auto& [tag, setup, name, content, expected] = rows[row];
        // Each row in a folder of its own, so "target" and the names never meet an earlier row's.
        const QTemporaryDir dir;
        const auto path = dir.filePath(QString::fromUtf8(name)), target = dir.filePath(u"target"_s);
        const bool made = setup == Setup::File ? writeFile(path, content)
            : setup == Setup::Folder           ? QDir().mkpath(path)
            : setup == Setup::DanglingLink     ? QFile::link(target, path)
            : setup == Setup::LinkToFile       ? writeFile(target, content) && QFile::link(target, path)
                                               : setup == Setup::Fifo && ::mkfifo(qPrintable(path), 0600) == 0;
        QCOMPARE(made, setup != Setup::NoSource && setup != Setup::Missing);
        const auto symbol
            = sourceIconName(setup == Setup::NoSource ? std::nullopt : Location(QUrl::fromLocalFile(path)));
        QCOMPARE(symbol, QString::fromUtf8(expected));
        // The source area draws whatever symbol comes back, so each needs artwork in the views' resources.
        QVERIFY2(QFile::exists(u":/icons/%1.svg"_s.arg(symbol)), qPrintable(symbol));
    }
};

QTEST_GUILESS_MAIN(SourceIconTest)
#include "test_source_icon.moc"
