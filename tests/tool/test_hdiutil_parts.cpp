// SPDX-License-Identifier: GPL-3.0-or-later
#include "Progress.h"

#include <QTest>

using namespace hdiutil;

class TestHdiutilParts : public QObject {
    Q_OBJECT

private slots:
    // A run shows the lines but not when they came: 100% must wait for the last byte. No image could overflow.
    void countsTenths()
    {
        QCOMPARE(tenthsDone(9, 100), 0);
        QCOMPARE(tenthsDone(10, 100), 1);
        QCOMPARE(tenthsDone(14, 15), 9);
        QCOMPARE(tenthsDone(15, 15), 10);
        const uint64_t huge = UINT64_MAX - 5;
        QCOMPARE(tenthsDone(huge / 2 - 1, huge), 4);
        QCOMPARE(tenthsDone(huge / 2, huge), 5);
    }
};

QTEST_GUILESS_MAIN(TestHdiutilParts)
#include "test_hdiutil_parts.moc"
