#pragma once

#include <QWidget>

class QToolButton;

// An up/down control that holds a value of its own beside a text field: pressing up or down (the
// arrows, or the Up and Down keys in its field) moves its value by the increment within its limits
// and reports stepped(); setting the value from code clamps it to the limits and reports nothing.
// Unlike a spin box it never edits the text of its field; its owner decides what a step does to the
// field. It is no stop of its own for the Tab key: the keyboard steps it from its field, which shows
// the focus.
class Stepper : public QWidget {
    Q_OBJECT
public:
    explicit Stepper(QWidget* parent = nullptr);

    double value() const { return m_value; }
    void setValue(double value);
    void setLimits(double minimum, double maximum);
    void setIncrement(double increment) { m_increment = increment; }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double increment() const { return m_increment; }

    // The field whose Up and Down keys step this stepper.
    void setKeyboardField(QWidget* field);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    void stepped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void step(double delta);
    bool stepForKey(int key);

    QToolButton* m_up;
    QToolButton* m_down;
    double m_value = 0.0;
    double m_minimum = 0.0;
    double m_maximum = 100.0;
    double m_increment = 1.0;
};
