#include "common/ToolbarItemValidation.h"

#include "common/ControlTarget.h"

#include <QAction>
#include <QMetaObject>
#include <QWidget>

namespace {

bool TargetAllowsItem(QObject* target, QAction* item)
{
    bool enabled = true;
    if (target->metaObject()->indexOfMethod("validateToolbarItem(QAction*)") >= 0)
        QMetaObject::invokeMethod(target, "validateToolbarItem", Qt::DirectConnection, Q_RETURN_ARG(bool, enabled),
                                  Q_ARG(QAction*, item));
    return enabled;
}

} // namespace

void ValidateToolbarItemThroughControl(QAction* item, QWidget* view)
{
    if (!item || !view)
        return;
    QObject* target = ControlTarget::target(view);
    if (!ControlTarget::respondsTo(target, ControlTarget::action(view)))
        return;
    const bool enabled = TargetAllowsItem(target, item);
    item->setEnabled(enabled);
    view->setEnabled(enabled);
}
