// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// Reads the image tool's progress from its standard output, whatever pieces the pipe hands it in: a line cut across
// reads counts once, whole; many lines in one read count one each; a line that is not a progress line counts nothing.
class ToolProgressReader {
public:
    // Takes the next piece of output. Returns the tenths reported by the last whole progress line in it, if any.
    [[nodiscard]] std::optional<int> take(QByteArrayView output);

private:
    QByteArray m_partialLine;
    // Past a partial line too long to be a progress line, up to its end.
    bool m_skippingLine = false;
};
