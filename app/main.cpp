// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VelbrookApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    VelbrookApp velbrook(application);
    return application.exec();
}
