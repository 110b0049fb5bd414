#include "support/AlertAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool labelsArePlain(const QMessageBox& box)
{
    const auto labels = box.findChildren<QLabel*>();
    return std::all_of(labels.begin(), labels.end(), [](const QLabel* label) {
        return label->text().isEmpty() || label->textFormat() == Qt::PlainText;
    });
}

QStringList buttonTitles(const QMessageBox& box)
{
    QStringList titles;
    for (const QAbstractButton* button : box.buttons())
        titles << button->text();
    return titles;
}

} // namespace

AlertAnswerer::Answer AlertAnswerer::click(const QString& buttonTitle)
{
    return [buttonTitle](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == buttonTitle) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE_AT(__FILE__, __LINE__);
        box.defaultButton()->click();
    };
}

AlertAnswerer::AlertAnswerer(std::vector<Answer> answers)
    : m_answers(std::move(answers))
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &AlertAnswerer::poll);
    m_timer.start();
}

AlertAnswerer::AlertAnswerer(const QStringList& buttonTitles)
    : AlertAnswerer([&buttonTitles] {
        std::vector<Answer> answers;
        for (const QString& title : buttonTitles)
            answers.push_back(click(title));
        return answers;
    }())
{
}

AlertAnswerer::~AlertAnswerer() = default;

int AlertAnswerer::unexpectedCount() const
{
    return static_cast<int>(std::count_if(m_seen.begin(), m_seen.end(), [](const SeenAlert& a) { return !a.expected; }));
}

void AlertAnswerer::poll()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible())
            continue;
        const bool handled = std::any_of(m_handled.begin(), m_handled.end(),
                                         [box](const QPointer<QMessageBox>& done) { return done == box; });
        if (handled)
            continue;
        m_handled.emplace_back(box);
        handle(*box);
        return; // the answer may have changed the list of windows
    }
}

void AlertAnswerer::handle(QMessageBox& box)
{
    SeenAlert alert;
    alert.title = box.text();
    alert.message = box.informativeText();
    alert.buttons = buttonTitles(box);
    alert.parent = box.parentWidget();
    alert.modality = box.windowModality();
    alert.textsArePlain = box.textFormat() == Qt::PlainText && labelsArePlain(box);
    alert.expected = m_next < m_answers.size();
    m_seen.push_back(alert);
    if (alert.expected)
        m_answers[m_next++](box);
    else if (box.defaultButton())
        box.defaultButton()->click();
}

bool spinUntil(const std::function<bool()>& condition, int limitSeconds)
{
    const QDeadlineTimer limit{std::chrono::seconds(limitSeconds)};
    while (!condition() && !limit.hasExpired())
        QTest::qWait(5);
    return condition();
}
