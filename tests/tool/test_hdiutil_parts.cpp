// SPDX-License-Identifier: GPL-3.0-or-later
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
    // The conversions' edge cases; ordinary names are covered end to end by the usage test.
    void makesVolumeIdsFromAwkwardNames()
    {
        QCOMPARE(lastPathElement("/a/b/c//"), "c");
        QCOMPARE(lastPathElement("/"), "");
        QCOMPARE(isoVolumeId("\xff\xfe ok"), "___OK");
        QCOMPARE(jolietVolumeId("a:b*c"), u"a_b_c");
        QCOMPARE(jolietVolumeId("bad\xc3"), u"bad\uFFFD");
        // An encoded surrogate is malformed: each of its bytes is replaced.
        QCOMPARE(jolietVolumeId("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");
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
