// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SymbolIcon.h"

#include <QImage>
#include <QSet>
#include <QTest>

namespace {

// Every symbol name the app asks for.
const QStringList kSymbolNames = {
    QStringLiteral("plus.square.dashed"),
    QStringLiteral("questionmark.square.dashed"),
    QStringLiteral("folder"),
    QStringLiteral("photo"),
    QStringLiteral("waveform"),
    QStringLiteral("doc.zipper"),
    QStringLiteral("film"),
    QStringLiteral("doc.richtext"),
    QStringLiteral("doc.plaintext"),
    QStringLiteral("tablecells"),
    QStringLiteral("rectangle.3.offgrid"),
    QStringLiteral("archivebox"),
    QStringLiteral("chevron.left.slash.chevron.right"),
    QStringLiteral("curlybraces"),
    QStringLiteral("externaldrive"),
    QStringLiteral("doc"),
    QStringLiteral("play"),
};

QImage toImage(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Pixels that are solidly the given colour: the opaque core of a stroke, not its antialiased edge.
int countSolid(const QImage& image, const QColor& color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 240 && qAbs(pixel.red() - color.red()) < 16 && qAbs(pixel.green() - color.green()) < 16
                && qAbs(pixel.blue() - color.blue()) < 16)
                ++count;
        }
    }
    return count;
}

int maxAlpha(const QImage& image)
{
    int result = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result = qMax(result, qAlpha(image.pixel(x, y)));
    return result;
}

} // namespace

class TestSymbolIcon : public QObject {
    Q_OBJECT

private slots:
    void everySymbolRendersAt64_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : kSymbolNames)
            QTest::newRow(qPrintable(name)) << name;
    }

    void everySymbolRendersAt64()
    {
        QFETCH(QString, name);
        const QPixmap pixmap = symbolPixmap(name, Qt::black, QSize(64, 64), 1.0);
        QVERIFY(!pixmap.isNull());
        QCOMPARE(pixmap.size(), QSize(64, 64));
        const QImage image = toImage(pixmap);
        QVERIFY2(countSolid(image, Qt::black) > 40, "the symbol draws next to nothing");

        // A stroke touching the border means the drawing runs outside its box and is cut off.
        for (int i = 0; i < 64; ++i) {
            QCOMPARE(qAlpha(image.pixel(i, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(i, 63)), 0);
            QCOMPARE(qAlpha(image.pixel(0, i)), 0);
            QCOMPARE(qAlpha(image.pixel(63, i)), 0);
        }
    }

    void recolouringUsesTheGivenColour_data() { everySymbolRendersAt64_data(); }

    void recolouringUsesTheGivenColour()
    {
        QFETCH(QString, name);
        const QColor red(220, 20, 30);
        const QColor blue(20, 60, 230);
        const QImage redImage = toImage(symbolPixmap(name, red, QSize(64, 64), 1.0));
        const QImage blueImage = toImage(symbolPixmap(name, blue, QSize(64, 64), 1.0));
        QVERIFY(countSolid(redImage, red) > 40);
        QVERIFY(countSolid(blueImage, blue) > 40);
        // No part may keep a colour of its own, or it would vanish on a dark palette.
        QCOMPARE(countSolid(redImage, blue), 0);
        QCOMPARE(countSolid(blueImage, red), 0);
        QCOMPARE(countSolid(redImage, Qt::black), 0);
        QVERIFY(redImage != blueImage);
    }

    void translucentColourKeepsItsAlpha()
    {
        const QImage image = toImage(symbolPixmap(QStringLiteral("folder"), QColor(0, 0, 0, 128), QSize(64, 64), 1.0));
        const int alpha = maxAlpha(image);
        QVERIFY2(alpha > 110 && alpha < 145, qPrintable(QString::number(alpha)));
    }

    void pixmapHonoursDevicePixelRatio()
    {
        const QPixmap pixmap = symbolPixmap(QStringLiteral("doc"), Qt::black, QSize(24, 24), 2.0);
        QCOMPARE(pixmap.size(), QSize(48, 48));
        QCOMPARE(pixmap.devicePixelRatio(), 2.0);
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(24, 24));
    }

    void iconDrawsInTheGivenColourAtSeveralSizes()
    {
        const QColor green(10, 180, 40);
        const QIcon icon = symbolIcon(QStringLiteral("externaldrive"), green);
        QVERIFY(!icon.isNull());
        for (const int side : { 16, 32, 64 }) {
            const QPixmap pixmap = icon.pixmap(QSize(side, side), 1.0);
            QCOMPARE(pixmap.size(), QSize(side, side));
            QVERIFY(countSolid(toImage(pixmap), green) > 0);
        }
    }

    void unknownNamesGiveNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown") << QStringLiteral("no.such.symbol");
        QTest::newRow("empty") << QString();
        QTest::newRow("path") << QStringLiteral("../icons/folder");
        QTest::newRow("suffix") << QStringLiteral("folder.svg");
    }

    void unknownNamesGiveNothing()
    {
        QFETCH(QString, name);
        QVERIFY(symbolPixmap(name, Qt::black, QSize(64, 64), 1.0).isNull());
        QVERIFY(symbolIcon(name, Qt::black).isNull());
        QVERIFY(artworkIcon(name).isNull());
        QVERIFY(artworkPixmap(name, QSize(64, 64), 1.0).isNull());
    }

    void degenerateSizesGiveNothing()
    {
        QVERIFY(symbolPixmap(QStringLiteral("doc"), Qt::black, QSize(0, 0), 1.0).isNull());
        QVERIFY(symbolPixmap(QStringLiteral("doc"), Qt::black, QSize(64, 64), 0.0).isNull());
    }

    void artworkKeepsItsOwnColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("isoDiscIcon") << QStringLiteral("isoDiscIcon");
        QTest::newRow("velbrook") << QStringLiteral("velbrook");
    }

    void artworkKeepsItsOwnColours()
    {
        QFETCH(QString, name);
        const QIcon icon = artworkIcon(name);
        QVERIFY(!icon.isNull());
        const QImage image = toImage(icon.pixmap(QSize(128, 128), 1.0));
        QCOMPARE(image.size(), QSize(128, 128));
        // Colourful means several distinct, clearly saturated hues.
        QSet<int> hues;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (pixel.alpha() > 200 && pixel.hsvSaturation() > 50)
                    hues.insert(pixel.hsvHue() / 30);
            }
        }
        QVERIFY2(hues.size() >= 4, qPrintable(QString::number(hues.size())));
    }
};

QTEST_MAIN(TestSymbolIcon)
#include "test_symbol_icon.moc"
