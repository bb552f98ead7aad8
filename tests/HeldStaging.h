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
        return [released = m_released, copy = m_copy](
                   const QString& source, const QString& destination, StagingControl& control) {
            while (!*released && !control.stop) {
                control.bytesCopied = copy->bytesCopied.load(), control.bytesToCopy = copy->bytesToCopy.load();
                QThread::msleep(5);
            }
            // As staging itself does once stopped: no folder, no error, nothing made after the stop.
            return control.stop ? StagingResult {} : stageSource(source, destination, control);
        };
    }
    void release() { *m_released = true; }
    // While held, says it has copied this much of this much.
    void pretendCopying(qint64 copied, qint64 toCopy) { m_copy->bytesCopied = copied, m_copy->bytesToCopy = toCopy; }

private:
    std::shared_ptr<StagingControl> m_copy = std::make_shared<StagingControl>();
    std::shared_ptr<std::atomic<bool>> m_released = std::make_shared<std::atomic<bool>>(false);
};
