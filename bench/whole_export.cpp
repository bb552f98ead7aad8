// SPDX-License-Identifier: GPL-3.0-or-later
// One whole export through the model, as the window runs it, with the real image tool. Prints how long the
// main thread was held at the most, how long the export took from start to image ready, and how the source was
// staged ("in place" where it was not). Driven by bench/whole_export.py; not a test.
//   bench_whole_export TOOL SOURCE DESTINATION

#include "intake/LocationChooser.h"
#include "model/ExportModel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    // The job holds the loop open until it is done; here the figures decide when to end.
    QCoreApplication::setQuitLockEnabled(false);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: bench_whole_export TOOL SOURCE DESTINATION\n");
        return 2;
    }
    auto methods = std::make_shared<QString>(QStringLiteral("in place"));
    StagingStep staging = platformStaging();
    if (staging) {
        staging = [methods](const QString& source, const QString& destination, StagingControl& control) {
            StagingResult result = stageSource(source, destination, control);
            *methods = result.tally.methods();
            return result;
        };
    }
    const auto model = ExportModel::create(arguments[1],
        std::make_shared<FixedLocations>(QUrl::fromLocalFile(arguments[2]), QUrl::fromLocalFile(arguments[3])),
        std::move(staging));
    model->selectSource();
    model->selectDestination();

    // A timer that should fire every few milliseconds: the longest gap between two ticks is the longest stall.
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestStall = std::max(longestStall, sinceTick.restart()); });

    QElapsedTimer whole;
    int status = 1;
    QObject::connect(model.get(), &ExportModel::exportEndChanged, &application, [&] {
        if (model->canCancelExport())
            return;
        const double seconds = double(whole.nsecsElapsed()) / 1e9;
        // Whatever stall the end handling itself caused shows in the next tick.
        QTimer::singleShot(20, &application, [&, seconds] {
            status = model->lastExportFailure() ? 1 : 0;
            std::printf("seconds=%.3f stall_ms=%lld methods=%s%s\n", seconds, static_cast<long long>(longestStall),
                qPrintable(methods->replace(QLatin1Char(' '), QLatin1Char('_'))),
                model->lastExportFailure() ? qPrintable(QStringLiteral(" failed=") + model->lastExportFailure()->reason)
                                           : "");
            QCoreApplication::quit();
        });
    });
    QTimer::singleShot(0, &application, [&] {
        sinceTick.start();
        ticker.start(2);
        whole.start();
        model->startExport();
    });
    application.exec();
    return status;
}
