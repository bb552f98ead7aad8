// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"
#include "Progress.h"
#include "VolumeDescriptors.h"
#include "VolumeNames.h"

#include <QTest>
#include <cstring>
#include <vector>

using namespace hdiutil;

class TestHdiutilParts : public QObject {
    Q_OBJECT

private slots:
    void parsesOptionsInAnyOrder()
    {
        const auto command = parseCommandLine({ "makehybrid", "-joliet", "-ov", "-o", "-odd.iso", "-quiet",
            "-iso-volume-name", "ISO", "src", "-iso", "-joliet-volume-name", "J", "-default-volume-name", "D" });
        const auto* make = std::get_if<MakeHybrid>(&command);
        QVERIFY(make);
        QCOMPARE(make->image, "-odd.iso");
        QCOMPARE(make->source, "src");
        QVERIFY(make->joliet && make->replace && make->quiet);
        QCOMPARE(make->isoVolumeName.value_or(""), "ISO");
        QCOMPARE(make->jolietVolumeName.value_or(""), "J");
        QCOMPARE(make->defaultVolumeName.value_or(""), "D");
    }

    void takesEverythingAfterDoubleDashAsSource()
    {
        const auto command = parseCommandLine({ "makehybrid", "-iso", "-o", "x.iso", "--", "-src" });
        const auto* make = std::get_if<MakeHybrid>(&command);
        QVERIFY(make);
        QCOMPARE(make->source, "-src");
        QVERIFY(!make->joliet);
    }

    void rejectsMalformedCommands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("nothing") << QStringList {};
        QTest::newRow("unknown verb") << QStringList { "create", "-o", "x", "s", "-iso" };
        QTest::newRow("unknown option") << QStringList { "makehybrid", "-o", "x", "s", "-iso", "-hfs" };
        QTest::newRow("-o without value") << QStringList { "makehybrid", "s", "-iso", "-o" };
        QTest::newRow("-o twice") << QStringList { "makehybrid", "-o", "x", "-o", "y", "s", "-iso" };
        QTest::newRow("empty -o") << QStringList { "makehybrid", "-o", "", "s", "-iso" };
        QTest::newRow("-o names a folder") << QStringList { "makehybrid", "-o", "out/", "s", "-iso" };
        QTest::newRow("name without value") << QStringList { "makehybrid", "-o", "x", "s", "-iso", "-iso-volume-name" };
        QTest::newRow("joliet alone") << QStringList { "makehybrid", "-o", "x", "s", "-joliet" };
        QTest::newRow("no source") << QStringList { "makehybrid", "-o", "x", "-iso" };
        QTest::newRow("two sources") << QStringList { "makehybrid", "-o", "x", "s", "t", "-iso" };
        QTest::newRow("option after --") << QStringList { "makehybrid", "-o", "x", "--", "s", "-iso" };
    }

    void rejectsMalformedCommands()
    {
        QFETCH(QStringList, args);
        std::vector<std::string> argv;
        for (const QString& arg : args)
            argv.push_back(arg.toStdString());
        const auto command = parseCommandLine(argv);
        const auto* error = std::get_if<UsageError>(&command);
        QVERIFY(error);
        QVERIFY(!error->message.empty());
        QVERIFY(error->message.find('\n') == std::string::npos);
    }

    void recognisesHelp()
    {
        for (const char* verb : { "help", "-help", "--help" })
            QVERIFY(std::holds_alternative<ShowHelp>(parseCommandLine({ verb })));
        QVERIFY(std::holds_alternative<ShowHelp>(parseCommandLine({ "makehybrid", "-help" })));
    }

    void findsLastPathElement()
    {
        QCOMPARE(lastPathElement("/a/b/My Folder"), "My Folder");
        QCOMPARE(lastPathElement("/a/b/c//"), "c");
        QCOMPARE(lastPathElement("plain"), "plain");
        QCOMPARE(lastPathElement("/"), "");
    }

    void makesIsoVolumeIds()
    {
        QCOMPARE(isoVolumeId("My Disc-2024"), "MY_DISC_2024");
        QCOMPARE(isoVolumeId("Café 😀"), "CAF___");
        QCOMPARE(isoVolumeId(std::string(40, 'z')), std::string(32, 'Z'));
        QCOMPARE(isoVolumeId("\xff\xfe ok"), "___OK");
    }

    void makesJolietVolumeIds()
    {
        QCOMPARE(jolietVolumeId("Café"), u"Café");
        QCOMPARE(jolietVolumeId(std::string(20, 'x')), std::u16string(16, u'x'));
        // 15 units plus an emoji's two would be 17: the pair goes whole or not at all.
        QCOMPARE(jolietVolumeId("abcdefghijklmno😀"), u"abcdefghijklmno");
        QCOMPARE(jolietVolumeId("abcdefghijklmn😀"), u"abcdefghijklmn😀");
        QCOMPARE(jolietVolumeId("a:b*c"), u"a_b_c");
        QCOMPARE(jolietVolumeId("bad\xc3"), u"bad\uFFFD");
        QCOMPARE(utf16FromUtf8("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");
    }

    void rewritesTheJolietDescriptorOnly()
    {
        std::vector<unsigned char> head(20 * 2048, 0);
        auto descriptor = [&](int sector, unsigned char type) {
            unsigned char* d = head.data() + sector * 2048;
            d[0] = type;
            std::memcpy(d + 1, "CD001", 5);
            std::memset(d + 40, 'A', 32);
            return d;
        };
        descriptor(16, 1);
        unsigned char* joliet = descriptor(17, 2);
        joliet[88] = 0x25, joliet[89] = 0x2F, joliet[90] = 0x45;
        descriptor(18, 255);

        QVERIFY(setJolietVolumeId(head.data(), head.size(), u"Hé😀"));
        const unsigned char expected[] = { 0x00, 'H', 0x00, 0xE9, 0xD8, 0x3D, 0xDE, 0x00, 0x00, ' ' };
        QCOMPARE(std::memcmp(joliet + 40, expected, sizeof expected), 0);
        QCOMPARE(joliet[70], 0x00);
        QCOMPARE(joliet[71], ' ');
        QCOMPARE(head[16 * 2048 + 40], 'A');

        joliet[90] = 0x00; // a supplementary descriptor that is not Joliet
        QVERIFY(!setJolietVolumeId(head.data(), head.size(), u"x"));
        QVERIFY(!setJolietVolumeId(head.data(), 17 * 2048, u"x"));
    }

    void countsTenths()
    {
        QCOMPARE(tenthsDone(0, 100), 0);
        QCOMPARE(tenthsDone(9, 100), 0);
        QCOMPARE(tenthsDone(10, 100), 1);
        QCOMPARE(tenthsDone(14, 15), 9);
        QCOMPARE(tenthsDone(15, 15), 10);
        const uint64_t huge = UINT64_MAX - 5;
        QCOMPARE(tenthsDone(huge / 2 - 1, huge), 4);
        QCOMPARE(tenthsDone(huge / 2, huge), 5);
        QCOMPARE(tenthsDone(huge, huge), 10);
    }
};

QTEST_GUILESS_MAIN(TestHdiutilParts)
#include "test_hdiutil_parts.moc"
