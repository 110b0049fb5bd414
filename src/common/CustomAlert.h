#pragma once

#include <QPointer>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>

class QMessageBox;
class QWidget;

// One question put to the user as a window-modal alert: a title, an informative text and up to
// three buttons. The alert itself always runs on the main thread; the texts and the window may be
// set from any thread, and another thread may block in wait() until the answer is known.
//
// Answers: 1 the default button, 0 the alternate button, -1 the other button.
// Texts are shown literally, never as markup.
class CustomAlert {
public:
    static constexpr int kNoAnswer = -1;
    static constexpr int kAnswerPending = 2147483647;
    static constexpr int kDefaultAnswer = 1;
    static constexpr int kAlternateAnswer = 0;
    static constexpr int kOtherAnswer = -1;

    CustomAlert();
    // A null title or message becomes ""; a null or empty button title means no such button.
    CustomAlert(const QString& title, const QString& message, const QString& defaultButton,
                const QString& alterButton, const QString& otherButton);
    ~CustomAlert();
    CustomAlert(const CustomAlert&) = delete;
    CustomAlert& operator=(const CustomAlert&) = delete;

    // Main thread only: show the alert on the window (the active window when none is set) and
    // keep dispatching events until it is answered.
    void showModalSheet();
    // The same with the alert style and the accessory view; shows nothing when the message is null.
    void showModalSheetUsingAlert();
    // Main thread only: an application-modal alert.
    void showModalAlert();
    // Any thread but the main one: block until the alert has been answered (at once when it
    // already was).
    void wait();
    // End handler of the alert: stores the answer, then releases a thread blocked in wait().
    void monitorAlertDidEnd(int returnCode);

    QString message() const;
    void setMessage(const QString& message);
    QString defaultButton() const;
    void setDefaultButton(const QString& title);
    QString otherButton() const;
    void setOtherButton(const QString& title);
    QString alterButton() const;
    void setAlterButton(const QString& title);
    QString title() const;
    void setTitle(const QString& title);
    int responseCode() const { return m_responseCode.load(); }
    void setResponseCode(int code) { m_responseCode.store(code); }
    // 0 plain, 1 informational, 2 critical; other values show as plain.
    int alertStyle() const { return m_alertStyle.load(); }
    void setAlertStyle(int style) { m_alertStyle.store(style); }
    QWidget* window() const;
    void setWindow(QWidget* window);
    QWidget* view() const;
    void setView(QWidget* view);

private:
    struct Texts {
        QString title;
        QString message;
        QString defaultButton;
        QString alterButton;
        QString otherButton;
    };
    Texts texts() const;
    QWidget* parentWindow() const;
    void runUntilAnswered(const QPointer<QMessageBox>& box);

    mutable std::mutex m_fieldsLock; // the texts, window and view are set from any thread
    Texts m_texts;
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_view;
    QPointer<QMessageBox> m_alert;
    std::atomic<int> m_responseCode{kNoAnswer};
    std::atomic<int> m_alertStyle{0};

    std::mutex m_answerLock;
    std::condition_variable m_answerArrived;
    bool m_answered = false;
};
