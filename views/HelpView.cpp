// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/HelpView.h"

#include "views/Commands.h"

#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int spacing = 10;
constexpr qreal titleScale = 1.5;

[[nodiscard]] QHBoxLayout* commandRow(const Command& command)
{
    auto* row = new QHBoxLayout;
    auto* shortcut = new QLabel(shortcutText(command));
    row->addWidget(shortcut);
    row->addStretch();
    row->addWidget(new QLabel(command.title));
    return row;
}

} // namespace

HelpView::HelpView(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(fixedSize);

    auto* title = new QLabel(tr("Available Commands"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * titleScale);
    titleFont.setBold(true);
    title->setFont(titleFont);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(spacing);
    layout->addStretch();
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addSpacing(style()->pixelMetric(QStyle::PM_LayoutBottomMargin));
    for (const Command& command :
        { selectSourceCommand(), selectDestinationCommand(), createImageCommand(), cancelExportCommand() })
        layout->addLayout(commandRow(command));
    layout->addStretch();
}
