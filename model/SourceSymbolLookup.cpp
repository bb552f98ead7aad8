// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SourceSymbolLookup.h"

#include <QThread>
#include <thread>

// Carries an answer from a lookup's thread to the main thread. Shared with the lookups still running, so a lookup
// that outlives the model still has somewhere to answer; deleted on the main thread by whoever lets go of it last.
class SourceSymbolLookup::Relay : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void answered(quint64 lookup, const QString& symbolName);
};

SourceSymbolLookup::SourceSymbolLookup(Reader reader, QObject* parent)
    : QObject(parent)
    , m_reader(std::move(reader))
    , m_relay(new Relay, [](Relay* relay) {
        if (QThread::currentThread() == relay->thread())
            delete relay;
        else
            relay->deleteLater();
    })
{
    connect(m_relay.get(), &Relay::answered, this, [this](quint64 lookup, const QString& symbolName) {
        if (lookup == m_latest)
            Q_EMIT found(symbolName);
    });
}

SourceSymbolLookup::~SourceSymbolLookup() = default;

void SourceSymbolLookup::lookUp(const Location& location)
{
    // Not joined: a thread stuck on a hung mount must hold up neither the window nor the application's end.
    std::thread([reader = m_reader, relay = m_relay, lookup = ++m_latest, location] {
        Q_EMIT relay->answered(lookup, reader(location));
    }).detach();
}

#include "SourceSymbolLookup.moc"
