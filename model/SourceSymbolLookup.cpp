// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SourceSymbolLookup.h"

#include <QThreadPool>

// Carries an answer from a lookup's thread to the main thread. Shared with the lookups still running, so a lookup
// that outlives the model still has somewhere to answer; whoever lets go of it last deletes it, by then unconnected.
class SourceSymbolLookup::Relay : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void answered(quint64 lookup, const QString& symbolName);
};

SourceSymbolLookup::SourceSymbolLookup(Reader reader, QObject* parent)
    : QObject(parent)
    , m_reader(std::move(reader))
    , m_relay(std::make_shared<Relay>())
{
    connect(m_relay.get(), &Relay::answered, this, [this](quint64 lookup, const QString& symbolName) {
        if (lookup == m_latest)
            Q_EMIT found(symbolName);
    });
}

SourceSymbolLookup::~SourceSymbolLookup() = default;

void SourceSymbolLookup::lookUp(const Location& location)
{
    // On Qt's shared pool, which the application waits for as it ends, before the libraries' own data is torn down:
    // a thread left running into the process's exit would read the content types as they are destroyed.
    QThreadPool::globalInstance()->start([reader = m_reader, relay = m_relay, lookup = ++m_latest, location] {
        Q_EMIT relay->answered(lookup, reader(location));
    });
}

#include "SourceSymbolLookup.moc"
