// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"
#include "app/VelbrookApp.h"
#include "common/BundleInfo.h"
#include "model/ExportModel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

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
    QUrl item;
    {
        const QCoreApplication parsing(argc, argv);
        const Bundle bundle = Bundle::load(mainBundleInfoPath);
        QCoreApplication::setApplicationName(QStringLiteral("Velbrook"));
        QCoreApplication::setApplicationVersion(bundleInfoString(bundle, QStringLiteral("CFBundleShortVersionString")));

        QCommandLineParser parser;
        parser.setApplicationDescription(QStringLiteral("Turns one file or folder into an ISO 9660 disc image."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addPositionalArgument(QStringLiteral("item"),
            QStringLiteral("The file or folder to take as the source, as if dropped on the window."),
            QStringLiteral("[ITEM]"));
        parser.process(parsing);

        // A relative path is taken from the working directory; file: URLs from a file manager work too.
        if (const QStringList items = parser.positionalArguments(); !items.isEmpty()) {
            item = QUrl::fromUserInput(items.first(), QDir::currentPath(), QUrl::AssumeLocalFile);
            // Only what exists is taken, as only existing items can be dropped; the window then opens empty.
            if (localItemPath(item).isEmpty() || !QFileInfo::exists(localItemPath(item))) {
                std::fprintf(stderr, "velbrook: %s: no such file or folder\n", qUtf8Printable(items.first()));
                item.clear();
            }
        }
    }

    QApplication application(argc, argv);
    VelbrookApp velbrook(application);
    if (MainWindow* window = firstWindow(); window && !item.isEmpty())
        window->takeSource(item);
    return application.exec();
}
