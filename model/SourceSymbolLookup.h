// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Location.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

// Works out the chosen source's symbol on a thread of its own, once per choice: telling what an item is reads it,
// and an item on a mount that hangs must not hang the window. Only the answer for the latest choice is given.
class SourceSymbolLookup : public QObject {
    Q_OBJECT

public:
    // Gives the symbol's name for a location; may block as long as the file system does.
    using Reader = std::function<QString(const Location&)>;

    explicit SourceSymbolLookup(Reader reader, QObject* parent = nullptr);
    ~SourceSymbolLookup() override;

    // Starts the lookup for `location`; an earlier one still running is left to end unheard. The window goes on
    // meanwhile; only the application's end waits for a lookup still running.
    void lookUp(const Location& location);

Q_SIGNALS:
    void found(const QString& symbolName);

private:
    class Relay;

    Reader m_reader;
    std::shared_ptr<Relay> m_relay;
    quint64 m_latest = 0;
};
