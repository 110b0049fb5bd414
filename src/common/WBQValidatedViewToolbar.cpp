#include "common/WBQValidatedViewToolbar.h"

#include "common/ToolbarItemValidation.h"

#include <QAbstractEventDispatcher>
#include <QAction>

WBQValidatedViewToolbar::WBQValidatedViewToolbar(QWidget* parent) : QToolBar(parent)
{
    validateWhenIdle();
}

WBQValidatedViewToolbar::WBQValidatedViewToolbar(const QString& title, QWidget* parent) : QToolBar(title, parent)
{
    validateWhenIdle();
}

void WBQValidatedViewToolbar::validateWhenIdle()
{
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &WBQValidatedViewToolbar::validateVisibleItems);
}

void WBQValidatedViewToolbar::validateVisibleItems()
{
    const QList<QAction*> items = actions();
    for (QAction* item : items) {
        if (!item->isVisible())
            continue;
        // Only a view placed in the toolbar takes part in its window's validation.
        QWidget* view = widgetForAction(item);
        if (view && view->parentWidget())
            ValidateToolbarItemThroughControl(item, view);
    }
}
