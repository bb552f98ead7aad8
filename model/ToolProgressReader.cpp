// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ToolProgressReader.h"

#include "common/ImageToolContract.h"

#include <string_view>

namespace {
// Longer than any progress line; what a tool says beyond it is not kept.
constexpr qsizetype longestKeptLine = 16;
} // namespace

std::optional<int> ToolProgressReader::take(QByteArrayView output)
{
    std::optional<int> reported;
    while (!output.isEmpty()) {
        const qsizetype end = output.indexOf('\n');
        const QByteArrayView piece = end < 0 ? output : output.first(end);
        output = end < 0 ? QByteArrayView() : output.sliced(end + 1);
        if (!m_skippingLine)
            m_partialLine += piece;
        if (m_partialLine.size() > longestKeptLine) {
            m_partialLine.clear();
            m_skippingLine = true;
        }
        if (end < 0)
            break;
        if (!m_skippingLine) {
            if (auto tenths
                = imagetool::progressTenths(std::string_view(m_partialLine.constData(), size_t(m_partialLine.size()))))
                reported = tenths;
        }
        m_partialLine.clear();
        m_skippingLine = false;
    }
    return reported;
}
