// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExportModel.h"
#include "views/MainView.h"
#include "views/SymbolButton.h"
#include "views/SymbolIcon.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <QTest>

namespace {

// Colourful drawings, kept as authored; every other shipped drawing is a symbol.
const QStringList kArtwork { QStringLiteral("isoDiscIcon"), QStringLiteral("velbrook") };

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

int countOpaque(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 240 ? 1 : 0;
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
            QVERIFY2(countSolid(image, red) > 40, qPrintable(name + QStringLiteral(" draws next to nothing")));
            // A part in a colour of its own would vanish on some palette.
            QVERIFY2(
                countSolid(image, red) == countOpaque(image), qPrintable(name + QStringLiteral(" keeps a colour")));
            // A stroke touching the border means the drawing runs outside its box and is cut off.
            for (int i = 0; i < 64; ++i) {
                const bool clear = qAlpha(image.pixel(i, 0)) == 0 && qAlpha(image.pixel(i, 63)) == 0
                    && qAlpha(image.pixel(0, i)) == 0 && qAlpha(image.pixel(63, i)) == 0;
                QVERIFY2(clear, qPrintable(name + QStringLiteral(" is cut off")));
            }
        }
    }

    void everyButtonOfTheMainViewHasASymbol()
    {
        MainView view(ExportModel::create(QStringLiteral("/nonexistent/tool")));
        const auto buttons = view.findChildren<SymbolButton*>();
        QVERIFY(!buttons.isEmpty());
        for (const auto* button : buttons)
            QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
    }

    void translucentColourFadesTheWholeSymbol()
    {
        // Fading the finished drawing, as for a disabled button, not dropping the colour's alpha.
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

    void unknownNamesGiveNothing()
    {
        // A name is never a path, so it cannot reach outside the symbols or add a second ".svg".
        for (const QString& name : { QStringLiteral("no.such.symbol"), QStringLiteral("../icons/folder") }) {
            QVERIFY(symbolPixmap(name, Qt::black, QSize(64, 64), 1.0).isNull());
            QVERIFY(symbolIcon(name, Qt::black).isNull());
            QVERIFY(artworkIcon(name).isNull());
        }
    }

    void artworkKeepsItsOwnColours_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : kArtwork)
            QTest::newRow(qPrintable(name)) << name;
    }

    void artworkKeepsItsOwnColours()
    {
        QFETCH(QString, name);
        const QImage image = toImage(artworkIcon(name).pixmap(QSize(128, 128), 1.0));
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

QTEST_MAIN(SymbolIconTest)
#include "test_symbol_icon.moc"
