// SPDX-License-Identifier: GPL-3.0-or-later
#include "Progress.h"

#include <QTest>

class TestHdiutilParts : public QObject {
    Q_OBJECT

private slots:
    // A run shows the lines but not when they came: 100% must wait for the last byte. No image could overflow.
    void countsTenths()
    {
        constexpr uint64_t huge = UINT64_MAX - 5,
                           cases[][3] = { { 9, 100, 0 }, { 10, 100, 1 }, { 14, 15, 9 }, { 15, 15, 10 },
                               { huge / 2 - 1, huge, 4 }, { huge / 2, huge, 5 } };
        for (const auto& [done, total, tenths] : cases)
            QCOMPARE(hdiutil::tenthsDone(done, total), int(tenths));
    }
};

QTEST_GUILESS_MAIN(TestHdiutilParts)
#include "test_hdiutil_parts.moc"
