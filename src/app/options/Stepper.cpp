#include "app/options/Stepper.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

QToolButton* makeArrowButton(Qt::ArrowType arrow, const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setObjectName(name);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    button->setFixedWidth(18);
    return button;
}

} // namespace

Stepper::Stepper(QWidget* parent)
    : QWidget(parent)
    , m_up(makeArrowButton(Qt::UpArrow, QStringLiteral("stepUp"), this))
    , m_down(makeArrowButton(Qt::DownArrow, QStringLiteral("stepDown"), this))
{
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    connect(m_up, &QToolButton::clicked, this, [this] { step(m_increment); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-m_increment); });
}

void Stepper::setValue(double value)
{
    m_value = std::isfinite(value) ? std::clamp(value, m_minimum, m_maximum) : m_minimum;
}

void Stepper::setLimits(double minimum, double maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
}

void Stepper::setKeyboardField(QWidget* field)
{
    field->installEventFilter(this);
}

bool Stepper::stepForKey(int key)
{
    if (key == Qt::Key_Up)
        step(m_increment);
    else if (key == Qt::Key_Down)
        step(-m_increment);
    else
        return false;
    return true;
}

void Stepper::keyPressEvent(QKeyEvent* event)
{
    if (!stepForKey(event->key()))
        QWidget::keyPressEvent(event);
}

bool Stepper::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isEnabled()
        && stepForKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QWidget::eventFilter(watched, event);
}

void Stepper::step(double delta)
{
    setValue(m_value + delta);
    emit stepped();
}
