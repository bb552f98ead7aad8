// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/EndNotice.h"

#include <QAccessibleWidget>

namespace {
QAccessibleInterface* noticeAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String(EndNotice::staticMetaObject.className()) || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
}
} // namespace

EndNotice::EndNotice(QWidget* parent)
    : QWidget(parent)
{
    // Qt gives a plain widget no role of its own; a factory is its one way to give one.
    static const bool installed = (QAccessible::installFactory(noticeAccessible), true);
    Q_UNUSED(installed);
}
