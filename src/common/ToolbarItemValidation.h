#pragma once

class QAction;
class QWidget;

// Enables or disables a toolbar item that carries a control, and the control with it, by asking the
// control's target: when the target handles the control's action, the item is enabled unless the target
// also has a slot or invokable method `bool validateToolbarItem(QAction*)` that answers false. A view
// without a target, or whose target does not handle its action, is left unchanged.
void ValidateToolbarItemThroughControl(QAction* item, QWidget* view);
