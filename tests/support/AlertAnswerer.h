#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <vector>

class QMessageBox;
class QWidget;

// Answers the alerts a test provokes the way a user would: it watches the event loop (including
// the nested loop an alert runs) for a shown message box, notes what the box shows, and acts on it,
// by default by clicking the button with a given title. Alerts beyond the planned answers are
// noted as unexpected and dismissed with their default button, so a wrong test never hangs.
class AlertAnswerer : public QObject {
public:
    using Answer = std::function<void(QMessageBox&)>;

    struct SeenAlert {
        QString title;
        QString message;
        QStringList buttons; // in the order they were added
        QWidget* parent = nullptr;
        Qt::WindowModality modality = Qt::NonModal;
        bool textsArePlain = false;
        bool expected = true;
    };

    static Answer click(const QString& buttonTitle);

    explicit AlertAnswerer(std::vector<Answer> answers = {});
    explicit AlertAnswerer(const QStringList& buttonTitles);
    ~AlertAnswerer() override;

    const std::vector<SeenAlert>& seen() const { return m_seen; }
    const SeenAlert& last() const { return m_seen.back(); }
    int unexpectedCount() const;
    // Answers planned but not used yet.
    int remaining() const { return static_cast<int>(m_answers.size() - m_next); }

private:
    void poll();
    void handle(QMessageBox& box);

    QTimer m_timer;
    std::vector<Answer> m_answers;
    std::size_t m_next = 0;
    std::vector<SeenAlert> m_seen;
    std::vector<QPointer<QMessageBox>> m_handled;
};

// Runs the event loop until the condition holds or a generous limit has passed (the limit only
// stops a broken test; nothing is asserted about time). Returns the condition's final value.
bool spinUntil(const std::function<bool()>& condition, int limitSeconds = 60);
