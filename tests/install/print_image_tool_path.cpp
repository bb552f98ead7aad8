// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the image tool the app would run if its executable were in the given folder.
#include "model/ImageToolPath.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 2)
        return 2;
    std::printf("%s\n", qUtf8Printable(imageToolPathForAppDir(QString::fromLocal8Bit(argv[1]))));
}
