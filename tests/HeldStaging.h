// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/SourceStaging.h"

#include <QThread>
#include <atomic>
#include <memory>

// Holds staging back until released, or until the job asks it to stop, then stages for real.
class HeldStaging {
public:
    [[nodiscard]] StagingStep step() const
    {
        return
            [released = m_released](const QString& source, const QString& destination, const std::atomic<bool>& stop) {
                while (!*released && !stop)
                    QThread::msleep(5);
                // As staging itself does once stopped: no folder, no error, nothing made after the stop.
                return stop ? StagingResult {} : stageSource(source, destination, stop);
            };
    }
    void release() { *m_released = true; }

private:
    std::shared_ptr<std::atomic<bool>> m_released = std::make_shared<std::atomic<bool>>(false);
};
