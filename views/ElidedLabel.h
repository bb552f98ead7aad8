// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// Text that wraps onto a second line when it does not fit on one, and beyond that elides in the middle of the
// second, so its start and its end both stay. The whole text is in its tooltip and in what is copied. Always as
// tall as two lines, so a text that wraps moves nothing around it.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    [[nodiscard]] const QString& fullText() const { return m_fullText; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void updateShownText();

    QString m_fullText;
};
