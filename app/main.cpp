// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"
#include "app/Translations.h"
#include "app/VelbrookApp.h"
#include "common/BundleInfo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

// The window the app opens at start; it opens exactly one.
MainWindow* firstWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<MainWindow*>(widget))
            return window;
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    // Parsed before the GUI exists, so --help and --version answer without a display.
    QString item;
    Translations translations;
    {
        const QCoreApplication parsing(argc, argv);
        translations.install();
        const Bundle bundle = Bundle::load(mainBundleInfoPath);
        QCoreApplication::setApplicationName(QStringLiteral("Velbrook"));
        QCoreApplication::setApplicationVersion(bundleInfoString(bundle, QStringLiteral("CFBundleShortVersionString")));

        QCommandLineParser parser;
        parser.setApplicationDescription(
            QCoreApplication::translate("main", "Turns one file or folder into an ISO 9660 disc image."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addPositionalArgument(QStringLiteral("item"),
            QCoreApplication::translate(
                "main", "The file or folder to take as the source, as if dropped on the window."),
            QStringLiteral("[ITEM]"));
        parser.process(parsing);
        item = parser.positionalArguments().value(0);
    }

    QApplication application(argc, argv);
    translations.install();
    VelbrookApp velbrook(application);
    MainWindow* window = firstWindow();
    if (window && !item.isEmpty() && !window->takeCommandLineItem(item))
        std::fprintf(stderr, "velbrook: %s: no such file or folder\n", qUtf8Printable(item));
    return application.exec();
}
