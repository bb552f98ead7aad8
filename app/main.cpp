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
    // As bytes: a path is bytes, and may be no UTF-8, which a QString cannot hold.
    QByteArray item;
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
        // The raw argument the parser took as ITEM: the first that is no option, before or after "--".
        if (const QString taken = parser.positionalArguments().value(0); !taken.isEmpty()) {
            for (int i = 1; i < argc && item.isEmpty(); ++i)
                if (QString::fromLocal8Bit(argv[i]) == taken)
                    item = argv[i];
        }
    }

    QApplication application(argc, argv);
    translations.install();
    VelbrookApp velbrook(application);
    MainWindow* window = firstWindow();
    if (window && !item.isEmpty() && !window->takeCommandLineItem(item))
        std::fprintf(stderr, "velbrook: %s: no such file or folder\n", item.constData());
    return application.exec();
}
