// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/SymbolIcon.h"

#include <QtGui>
#include <QtTest>
#include <functional>

namespace {

// Colourful drawings, kept as authored; every other shipped drawing is a symbol.
const QStringList kArtwork { QStringLiteral("isoDiscIcon"), QStringLiteral("velbrook") };

int countPixels(const QPixmap& pixmap, const std::function<bool(const QColor&)>& counts)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
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
        QVERIFY(files.size() > kArtwork.size());
        for (const QString& file : files) {
            const QString name = file.chopped(4);
            if (kArtwork.contains(name))
                continue;
            const QPixmap pixmap = symbolPixmap(name, QColor(220, 20, 30), QSize(64, 64), 1.0);
            // The opaque core of each stroke, not its antialiased edge, all in the colour asked for: a part in a
            // colour of its own would vanish on some palette.
            const int opaque = countPixels(pixmap, [](const QColor& pixel) { return pixel.alpha() > 240; });
            const int red = countPixels(pixmap, [](const QColor& pixel) {
                return pixel.alpha() > 240
                    && qAbs(pixel.red() - 220) + qAbs(pixel.green() - 20) + qAbs(pixel.blue() - 30) < 40;
            });
            // A stroke touching the border means the drawing runs outside its box and is cut off.
            const auto drawn = [](const QColor& pixel) { return pixel.alpha() > 0; };
            QVERIFY2(red > 40 && red == opaque
                    && countPixels(pixmap, drawn) == countPixels(pixmap.copy(1, 1, 62, 62), drawn),
                qPrintable(name));
        }
    }

    void pixmapsFadeWholeHonourThePixelRatioAndTakeOnlyNames()
    {
        // Fading the finished drawing, as for a disabled button, not dropping the colour's alpha stroke by stroke.
        const QPixmap faded = symbolPixmap(QStringLiteral("folder"), QColor(0, 0, 0, 128), QSize(64, 64), 1.0);
        QCOMPARE(countPixels(faded, [](const QColor& pixel) { return pixel.alpha() >= 145; }), 0);
        QVERIFY(countPixels(faded, [](const QColor& pixel) { return pixel.alpha() > 110; }) > 0);
        const QPixmap sharp = symbolPixmap(QStringLiteral("doc"), Qt::black, QSize(24, 24), 2.0);
        QVERIFY(sharp.size() == QSize(48, 48) && sharp.deviceIndependentSize() == QSizeF(24, 24));
        // A name is never a path, so it cannot reach outside the symbols or add a second ".svg".
        for (const QString& name : { QStringLiteral("no.such.symbol"), QStringLiteral("../icons/folder") })
            QVERIFY2(symbolPixmap(name, Qt::black, QSize(64, 64), 1.0).isNull() && symbolIcon(name, Qt::black).isNull()
                    && artworkIcon(name).isNull(),
                qPrintable(name));
    }

    void artworkKeepsItsOwnColours()
    {
        for (const QString& name : kArtwork) {
            // Colourful means several distinct, clearly saturated hues.
            QSet<int> hues;
            countPixels(artworkIcon(name).pixmap(QSize(128, 128), 1.0), [&hues](const QColor& pixel) {
                return pixel.alpha() > 200 && pixel.hsvSaturation() > 50 && (hues.insert(pixel.hsvHue() / 30), true);
            });
            QVERIFY2(hues.size() >= 4, qPrintable(name));
        }
    }
};

QTEST_MAIN(SymbolIconTest)
#include "test_symbol_icon.moc"
