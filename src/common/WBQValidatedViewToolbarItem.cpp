#include "common/WBQValidatedViewToolbarItem.h"

#include "common/ToolbarItemValidation.h"

WBQValidatedViewToolbarItem::WBQValidatedViewToolbarItem(QObject* parent) : QWidgetAction(parent) {}

void WBQValidatedViewToolbarItem::setView(QWidget* view)
{
    setDefaultWidget(view);
}

QWidget* WBQValidatedViewToolbarItem::view() const
{
    return defaultWidget();
}

void WBQValidatedViewToolbarItem::validate()
{
    ValidateToolbarItemThroughControl(this, view());
}
