// The warnings the toolkit gives while a run or a second look at a source is under way, kept so that a
// failure can be told with the reason the toolkit gave.

#pragma once

#include <QStringList>

// Routes the process's messages through the captures below; each message not held back is printed as
// Qt prints it. Called once, before the first capture.
void InstallWarningCapture();

// Keeps the warnings given on the thread that made it while it lives: printed as well, or only kept.
class WarningCapture {
public:
    enum class Echo {
        Print,
        Keep
    };

    explicit WarningCapture(Echo echo);
    ~WarningCapture();
    WarningCapture(const WarningCapture&) = delete;
    WarningCapture& operator=(const WarningCapture&) = delete;

    const QStringList& warnings() const { return m_warnings; }

private:
    friend void HandleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);

    Echo m_echo;
    WarningCapture* m_outer;
    QStringList m_warnings;
};
