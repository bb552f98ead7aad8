// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SymbolIcon.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <QTest>
#include <functional>

namespace {

// Colourful drawings, kept as authored; every other shipped drawing is a symbol.
const QStringList kArtwork { QStringLiteral("isoDiscIcon"), QStringLiteral("velbrook") };

QImage toImage(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

int countPixels(const QImage& image, const std::function<bool(const QColor&)>& counts)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += counts(image.pixelColor(x, y));
    return count;
}

} // namespace

class SymbolIconTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyShippedSymbolFitsItsBoxInOneColour()
    {
        // Loads the icon resources, which are registered on first use.
        QVERIFY(!symbolIcon(QStringLiteral("doc"), Qt::black).isNull());
        const QStringList files = QDir(QStringLiteral(":/icons")).entryList({ QStringLiteral("*.svg") });
        QVERIFY(!files.isEmpty());
        const QColor red(220, 20, 30);
        for (const QString& file : files) {
            const QString name = file.chopped(4);
            if (kArtwork.contains(name))
                continue;
            const QImage image = toImage(symbolPixmap(name, red, QSize(64, 64), 1.0));
            // The opaque core of each stroke, not its antialiased edge.
            const int opaque = countPixels(image, [](const QColor& pixel) { return pixel.alpha() > 240; });
            const int solid = countPixels(image, [red](const QColor& pixel) {
                return pixel.alpha() > 240 && qAbs(pixel.red() - red.red()) < 16
                    && qAbs(pixel.green() - red.green()) < 16 && qAbs(pixel.blue() - red.blue()) < 16;
            });
            QVERIFY2(solid > 40, qPrintable(name + QStringLiteral(" draws next to nothing")));
            // A part in a colour of its own would vanish on some palette.
            QVERIFY2(solid == opaque, qPrintable(name + QStringLiteral(" keeps a colour")));
            // A stroke touching the border means the drawing runs outside its box and is cut off.
            for (int i = 0; i < 64; ++i)
                QVERIFY2(qAlpha(image.pixel(i, 0)) == 0 && qAlpha(image.pixel(i, 63)) == 0
                        && qAlpha(image.pixel(0, i)) == 0 && qAlpha(image.pixel(63, i)) == 0,
                    qPrintable(name + QStringLiteral(" is cut off")));
        }
    }

    void translucentColourFadesTheWholeSymbol()
    {
        // Fading the finished drawing, as for a disabled button, not dropping the colour's alpha stroke by stroke.
        const QImage image = toImage(symbolPixmap(QStringLiteral("folder"), QColor(0, 0, 0, 128), QSize(64, 64), 1.0));
        QCOMPARE(countPixels(image, [](const QColor& pixel) { return pixel.alpha() >= 145; }), 0);
        QVERIFY(countPixels(image, [](const QColor& pixel) { return pixel.alpha() > 110; }) > 0);
    }

    void pixmapHonoursDevicePixelRatio()
    {
        const QPixmap pixmap = symbolPixmap(QStringLiteral("doc"), Qt::black, QSize(24, 24), 2.0);
        QCOMPARE(pixmap.size(), QSize(48, 48));
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(24, 24));
    }

    void unknownNamesGiveNothing()
    {
        // A name is never a path, so it cannot reach outside the symbols or add a second ".svg".
        for (const QString& name : { QStringLiteral("no.such.symbol"), QStringLiteral("../icons/folder") }) {
            QVERIFY(symbolPixmap(name, Qt::black, QSize(64, 64), 1.0).isNull());
            QVERIFY(symbolIcon(name, Qt::black).isNull());
            QVERIFY(artworkIcon(name).isNull());
        }
    }

    void artworkKeepsItsOwnColours()
    {
        for (const QString& name : kArtwork) {
            const QImage image = toImage(artworkIcon(name).pixmap(QSize(128, 128), 1.0));
            QCOMPARE(image.size(), QSize(128, 128));
            // Colourful means several distinct, clearly saturated hues.
            QSet<int> hues;
            countPixels(image, [&hues](const QColor& pixel) {
                if (pixel.alpha() > 200 && pixel.hsvSaturation() > 50)
                    hues.insert(pixel.hsvHue() / 30);
                return false;
            });
            QVERIFY2(hues.size() >= 4, qPrintable(name));
        }
    }
};

QTEST_MAIN(SymbolIconTest)
#include "test_symbol_icon.moc"
