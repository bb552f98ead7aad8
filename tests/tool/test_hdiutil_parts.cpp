// SPDX-License-Identifier: GPL-3.0-or-later
#include "DestinationVolume.h"
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

    // Sizes as a file manager shows them, rounded as printed; FUSE drivers known by the name after their dot.
    void describesSizesAndVolumes()
    {
        const std::pair<uint64_t, std::string> sizes[]
            = { { 999, "999 bytes" }, { 999'949, "999.9 kB" }, { 999'950, "1.0 MB" }, { 4'294'967'295, "4.3 GB" } };
        for (const auto& [bytes, text] : sizes)
            QCOMPARE(hdiutil::sizeForPeople(bytes), text);
        const std::tuple<std::string, std::string, uint64_t, bool> volumes[]
            = { { "fuse.fusefat", "FAT32", 0xFFFFFFFF, false }, { "fuseblk.exfat", "exFAT", 0, false },
                  { "fuse.sshfs", "", 0, true } };
        for (const auto& [type, kind, largest, permissions] : volumes) {
            const auto volume = hdiutil::volumeOfMountType(type);
            QCOMPARE(std::tuple(volume.kind, volume.largestFile.value_or(0), volume.storesPermissions),
                std::tuple(kind, largest, permissions));
        }
    }
};

QTEST_GUILESS_MAIN(TestHdiutilParts)
#include "test_hdiutil_parts.moc"
