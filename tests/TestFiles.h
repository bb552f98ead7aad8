// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// File helpers every test program shares.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

inline void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
