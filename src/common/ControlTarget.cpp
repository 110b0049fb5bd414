#include "common/ControlTarget.h"

#include <QAbstractButton>
#include <QMetaObject>
#include <QPointer>

namespace {

// Kept as a child of the control, so that it lives exactly as long as the control does.
class ControlBinding : public QObject {
    Q_OBJECT

public:
    ControlBinding(QObject* target, QByteArray action, QObject* control)
        : QObject(control), m_target(target), m_action(std::move(action))
    {
    }

    QObject* target() const { return m_target; }
    const QByteArray& action() const { return m_action; }

    void send() const
    {
        if (ControlTarget::respondsTo(m_target, m_action))
            QMetaObject::invokeMethod(m_target, m_action.constData());
    }

private:
    QPointer<QObject> m_target;
    QByteArray m_action;
};

ControlBinding* BindingOf(const QWidget* control)
{
    return control ? control->findChild<ControlBinding*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

} // namespace

namespace ControlTarget {

void setTargetAndAction(QAbstractButton* control, QObject* target, const QByteArray& action)
{
    delete BindingOf(control);
    auto* binding = new ControlBinding(target, action, control);
    QObject::connect(control, &QAbstractButton::clicked, binding, &ControlBinding::send);
}

QObject* target(const QWidget* control)
{
    const ControlBinding* binding = BindingOf(control);
    return binding ? binding->target() : nullptr;
}

QByteArray action(const QWidget* control)
{
    const ControlBinding* binding = BindingOf(control);
    return binding ? binding->action() : QByteArray();
}

bool respondsTo(const QObject* target, const QByteArray& action)
{
    if (!target || action.isEmpty())
        return false;
    return target->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(action + "()")) >= 0;
}

} // namespace ControlTarget

#include "ControlTarget.moc"
