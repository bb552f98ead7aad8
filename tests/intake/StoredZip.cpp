// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoredZip.h"

#include <QtEndian>

namespace {

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void append16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void append32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// Version, flags, method (stored), time, date, CRC and sizes: shared by local and central headers.
void appendEntryFields(QByteArray& out, const QByteArray& name, const QByteArray& content)
{
    append16(out, 10);
    append16(out, 0);
    append16(out, 0);
    append16(out, 0);
    append16(out, 0x21);
    append32(out, crc32(content));
    append32(out, static_cast<quint32>(content.size()));
    append32(out, static_cast<quint32>(content.size()));
    append16(out, static_cast<quint16>(name.size()));
    append16(out, 0);
}

} // namespace

QByteArray storedZip(const QList<QPair<QByteArray, QByteArray>>& entries)
{
    QByteArray zip;
    QByteArray directory;
    for (const auto& [name, content] : entries) {
        const auto offset = static_cast<quint32>(zip.size());
        append32(zip, 0x04034b50);
        appendEntryFields(zip, name, content);
        zip += name + content;

        append32(directory, 0x02014b50);
        append16(directory, 20);
        appendEntryFields(directory, name, content);
        append16(directory, 0); // comment length
        append16(directory, 0); // disk
        append16(directory, 0); // internal attributes
        append32(directory, 0); // external attributes
        append32(directory, offset);
        directory += name;
    }
    const auto directoryOffset = static_cast<quint32>(zip.size());
    zip += directory;
    append32(zip, 0x06054b50);
    append16(zip, 0);
    append16(zip, 0);
    append16(zip, static_cast<quint16>(entries.size()));
    append16(zip, static_cast<quint16>(entries.size()));
    append32(zip, static_cast<quint32>(directory.size()));
    append32(zip, directoryOffset);
    append16(zip, 0);
    return zip;
}
