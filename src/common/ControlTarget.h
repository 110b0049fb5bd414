#pragma once

#include <QByteArray>

class QAbstractButton;
class QObject;
class QWidget;

// The object a control sends its command to (its target) and the name of the command (its action): a
// click calls the target's slot or invokable method of that name, which takes no arguments. Toolbar items
// that carry a control are validated by asking that target about that action.
namespace ControlTarget {

// Replaces any earlier target and action of the control. The control does not own the target.
void setTargetAndAction(QAbstractButton* control, QObject* target, const QByteArray& action);

// Null when the control has none, or when its target has been destroyed.
QObject* target(const QWidget* control);
QByteArray action(const QWidget* control);

// Whether the target has a slot or invokable method of that name that takes no arguments.
bool respondsTo(const QObject* target, const QByteArray& action);

} // namespace ControlTarget
