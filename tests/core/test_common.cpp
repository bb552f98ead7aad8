// SPDX-License-Identifier: GPL-3.0-or-later
// Small shared helpers: the information lookup, the text check on tool output, and the image's name.

#include "common/BundleInfo.h"
#include "model/ExportNames.h"
#include "model/Utf8.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

class CommonTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bundleInfoGivesTextOrTheWarningSign();
    void bundleLoadsItsDictionaryFromAFile();
    void toolOutputCountsOnlyWhenItIsWholeText_data();
    void toolOutputCountsOnlyWhenItIsWholeText();
    void namesFollowTheSourcesLastElement_data();
    void namesFollowTheSourcesLastElement();
};

void CommonTest::bundleInfoGivesTextOrTheWarningSign()
{
    const QString warning = QString::fromUtf8("\xE2\x9A\xA0\xEF\xB8\x8F");
    QCOMPARE(warning.size(), 2);
    const Bundle bundle { QJsonObject { { QStringLiteral("CFBundleName"), QStringLiteral("Velbrook") },
        { QStringLiteral("CFBundleVersion"), 7 }, { QStringLiteral("List"), QJsonArray { QStringLiteral("a") } },
        { QStringLiteral("Empty"), QString() } } };
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("CFBundleName")), QStringLiteral("Velbrook"));
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("CFBundleVersion")), warning);
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("List")), warning);
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("Missing")), warning);
    QCOMPARE(bundleInfoString(bundle, QStringLiteral("Empty")), QString());
    QCOMPARE(bundleInfoString(Bundle {}, QStringLiteral("CFBundleName")), warning);
}

void CommonTest::bundleLoadsItsDictionaryFromAFile()
{
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& content) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return file.fileName();
    };
    QCOMPARE(bundleInfoString(
                 Bundle::load(write("good.json", R"({"CFBundleName": "Velbrook"})")), QStringLiteral("CFBundleName")),
        QStringLiteral("Velbrook"));
    QVERIFY(!Bundle::load(write("broken.json", "{ not json")).infoDictionary);
    QVERIFY(!Bundle::load(write("array.json", "[1, 2]")).infoDictionary);
    QVERIFY(!Bundle::load(dir.filePath(QStringLiteral("missing.json"))).infoDictionary);
}

void CommonTest::toolOutputCountsOnlyWhenItIsWholeText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("ascii lines") << QByteArray("10%\n20%\n") << true;
    QTest::newRow("accents and emoji") << QByteArray("\xC3\xA9t\xC3\xA9 \xF0\x9F\x93\x80\n") << true;
    QTest::newRow("cut after a lead byte") << QByteArray("ab\xC3") << false;
    QTest::newRow("cut inside an emoji") << QByteArray("\xF0\x9F\x93") << false;
    QTest::newRow("starts with a continuation") << QByteArray("\xA9\n") << false;
    QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false;
    QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
    QTest::newRow("beyond unicode") << QByteArray("\xF4\x90\x80\x80") << false;
    QTest::newRow("latin-1") << QByteArray("caf\xE9") << false;
    QTest::newRow("nul byte") << QByteArray("a\0b", 3) << true;
}

void CommonTest::toolOutputCountsOnlyWhenItIsWholeText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QCOMPARE(isValidUtf8(bytes), valid);
}

void CommonTest::namesFollowTheSourcesLastElement_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("base");
    QTest::newRow("bundle") << QStringLiteral("/Users/a/Installer.app") << QStringLiteral("Installer.app")
                            << QStringLiteral("Installer");
    QTest::newRow("two extensions") << QStringLiteral("/a/notes.tar.gz") << QStringLiteral("notes.tar.gz")
                                    << QStringLiteral("notes.tar");
    QTest::newRow("no extension") << QStringLiteral("/a/Data") << QStringLiteral("Data") << QStringLiteral("Data");
    QTest::newRow("hidden") << QStringLiteral("/home/u/.profile") << QStringLiteral(".profile")
                            << QStringLiteral(".profile");
    QTest::newRow("hidden with extension")
        << QStringLiteral("/a/.config.bak") << QStringLiteral(".config.bak") << QStringLiteral(".config");
    QTest::newRow("trailing slash") << QStringLiteral("/a/Folder.d/") << QStringLiteral("Folder.d")
                                    << QStringLiteral("Folder");
    QTest::newRow("dot in a folder above") << QStringLiteral("/a.b/c") << QStringLiteral("c") << QStringLiteral("c");
    QTest::newRow("root") << QStringLiteral("/") << QStringLiteral("/") << QStringLiteral("/");
}

void CommonTest::namesFollowTheSourcesLastElement()
{
    QFETCH(QString, source);
    QFETCH(QString, item);
    QFETCH(QString, base);
    QCOMPARE(itemName(source), item);
    QCOMPARE(baseName(source), base);
    QCOMPARE(
        outputImagePath(QStringLiteral("/Volumes/Stick"), base), QStringLiteral("/Volumes/Stick/") + base + ".iso");
}

QTEST_GUILESS_MAIN(CommonTest)
#include "test_common.moc"
