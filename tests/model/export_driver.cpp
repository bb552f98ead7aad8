// SPDX-License-Identifier: GPL-3.0-or-later
// The application's export core without its windows, for tests that kill it: it starts one export the way the
// application does (signals turn into a quit, dead runs' job folders are swept at start) and reports its states
// on standard output.
//   export_driver TOOL SOURCE DESTINATION              export the source in place
//   export_driver TOOL SOURCE DESTINATION HOLD_FILE    stage, keep staging open until HOLD_FILE exists, export
//   export_driver --sweep                               only the start-up sweep

#include "common/DescriptorLimit.h"
#include "common/StopSignals.h"
#include "intake/LocationChooser.h"
#include "model/ExportModel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

// Each state on a line of its own, at once: the test waits for it.
static void say(const char* state)
{
    std::printf("%s\n", state), std::fflush(stdout);
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    removeStaleStaging();
    if (arguments.value(0) == u"--sweep"_s)
        return 0;

    raiseDescriptorLimit();
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &application, &QCoreApplication::quit);

    const QString holdFile = arguments.value(3);
    StagingStep staging = platformStaging();
    if (!holdFile.isEmpty()) {
        staging = [holdFile](const QString& source, const QString& destination, StagingControl& control) {
            StagingResult result = stageSource(source, destination, control);
            say("staged");
            while (!QFileInfo::exists(holdFile) && !control.stop)
                QThread::msleep(5);
            return result;
        };
    }
    const auto model = ExportModel::create(arguments.value(0),
        std::make_shared<FixedLocations>(
            QUrl::fromLocalFile(arguments.value(1)), QUrl::fromLocalFile(arguments.value(2))),
        staging);
    model->selectSource();
    model->selectDestination();
    QObject::connect(model.get(), &ExportModel::phaseChanged, &application, [&model] {
        if (model->phase() == ExportPhase::Running)
            say("running");
        else if (model->phase() == ExportPhase::Idle)
            QCoreApplication::quit();
    });
    model->startExport();
    return application.exec();
}
