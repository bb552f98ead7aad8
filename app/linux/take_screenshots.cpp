// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the README's screenshots: a main window after a real export, in the light or the dark palette, or
// after a failed one. Run by hand: velbrook_take_screenshots TOOL light|dark|failed PNG
#include "app/MenuBar.h"
#include "app/Translations.h"
#include "common/BundleInfo.h"
#include "intake/LocationChooser.h"
#include "model/ExportModel.h"
#include "views/MainView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>

namespace {

QPalette darkPalette()
{
    QPalette dark(QColor(53, 53, 53));
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, QColor(235, 235, 235));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(235, 235, 235));
    dark.setColor(QPalette::Button, QColor(55, 55, 55));
    dark.setColor(QPalette::ButtonText, QColor(235, 235, 235));
    dark.setColor(QPalette::Highlight, QColor(53, 132, 228));
    dark.setColor(QPalette::Link, QColor(120, 174, 237));
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    for (const auto role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        dark.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    return dark;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    Translations translations; // LANGUAGE=de for the German window
    translations.install();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: velbrook_take_screenshots TOOL light|dark|failed PNG\n");
        return 2;
    }
    const QString look = arguments.at(2);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(look == u"dark" ? darkPalette() : QApplication::style()->standardPalette());

    const QString root = QDir::tempPath() + QStringLiteral("/Velbrook Demo");
    QDir(root).removeRecursively();
    const QString source = root + QStringLiteral("/Holiday Photos");
    QDir().mkpath(source);
    QDir().mkpath(root + QStringLiteral("/Discs"));
    QFile photo(source + QStringLiteral("/beach.jpg"));
    if (!photo.open(QIODevice::WriteOnly) || !photo.write(QByteArray(qsizetype { 3 } * 1024 * 1024, 'x')))
        return 1;
    photo.close();

    const QString tool = look == u"failed" ? QStringLiteral("/nonexistent/velbrook-hdiutil") : arguments.at(1);
    auto model = ExportModel::create(tool,
        std::make_shared<FixedLocations>(
            QUrl::fromLocalFile(source), QUrl::fromLocalFile(root + QStringLiteral("/Discs"))));
    model->selectSource();
    model->selectDestination();

    QMainWindow window;
    auto* view = new MainView(model);
    window.setCentralWidget(view);
    buildMenus(*window.menuBar(), Bundle::load(QString()), {}, view->actions());
    window.show();

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &window, [&] {
        if (model->canCancelExport() || model->exportInProgress() || model->stagingInProgress())
            return;
        poll.stop();
        // Let the bar's glide and the last repaint finish.
        QTimer::singleShot(800, &window, [&] {
            const bool saved = window.grab().save(arguments.at(3));
            QDir(root).removeRecursively();
            QApplication::exit(saved ? 0 : 1);
        });
    });
    QTimer::singleShot(200, &window, [&] {
        model->startExport();
        poll.start(100);
    });
    return QApplication::exec();
}
