// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>
#include <thread>

// One piece of work on a thread of its own. `finished` is emitted from that thread when the work returns, so it
// reaches an object on another thread queued. Once join() returns, everything the work wrote is visible to the
// joining thread through the thread's own join, a hand-off that race checkers see, unlike one inside Qt.
class WorkerThread : public QObject {
    Q_OBJECT

public:
    explicit WorkerThread(std::function<void()> work);
    // Waits for the work to return.
    ~WorkerThread() override;

    void start();
    void join();

Q_SIGNALS:
    void finished();

private:
    std::function<void()> m_work;
    std::thread m_thread;
};
