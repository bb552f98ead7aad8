// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/WorkerThread.h"

WorkerThread::WorkerThread(std::function<void()> work)
    : m_work(std::move(work))
{ }

WorkerThread::~WorkerThread()
{
    join();
}

void WorkerThread::start()
{
    m_thread = std::thread([this] {
        m_work();
        Q_EMIT finished();
    });
}

void WorkerThread::join()
{
    if (m_thread.joinable())
        m_thread.join();
}
