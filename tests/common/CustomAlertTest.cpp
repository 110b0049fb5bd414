#include "support/AlertAnswerer.h"
#include "common/CustomAlert.h"
#include "common/RunAlertSheet.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QMap>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QMessageBox>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

class AlertSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
};

TEST_F(AlertSheetTest, ButtonsAnswerOneZeroAndMinusOne)
{
    AlertAnswerer answerer(QStringList{"Keep", "Drop", "Later"});
    EXPECT_EQ(RunAlertSheet("Title", "Message", "Keep", "Drop", "Later", &window), 1);
    EXPECT_EQ(RunAlertSheet("Title", "Message", "Keep", "Drop", "Later", &window), 0);
    EXPECT_EQ(RunAlertSheet("Title", "Message", "Keep", "Drop", "Later", &window), -1);

    ASSERT_EQ(answerer.seen().size(), 3u);
    EXPECT_EQ(answerer.unexpectedCount(), 0);
    const AlertAnswerer::SeenAlert& first = answerer.seen().front();
    EXPECT_EQ(first.buttons, (QStringList{"Keep", "Drop", "Later"}));
    EXPECT_EQ(first.parent, &window);
    EXPECT_EQ(first.modality, Qt::WindowModal);
}

TEST_F(AlertSheetTest, TextsKeepClearOfTheBoxsRightEdge)
{
    QStringList clearances;
    AlertAnswerer answerer({[&](QMessageBox& box) {
        for (const QLabel* label : box.findChildren<QLabel*>()) {
            if (label->text().isEmpty() || !label->isVisible())
                continue;
            const int textRight = label->mapTo(&box, label->contentsRect().topRight()).x();
            clearances << QStringLiteral("%1:%2").arg(label->text().left(8)).arg(box.width() - 1 - textRight);
            EXPECT_GE(box.width() - 1 - textRight, 12) << label->text().toStdString();
            EXPECT_GE(label->width(), 300);
        }
        box.defaultButton()->click();
    }});
    RunAlertSheet("Short", "No program to show folders answered. The PDF files are in:\n/a/rather/long/path/to/a/folder",
                  "OK", QString(), QString(), &window);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(clearances.size(), 2) << clearances.join(' ').toStdString();
}

TEST_F(AlertSheetTest, ALineWithANameTooLongToBreakStaysWholeWhenTheScreenHasRoom)
{
    // The words with the name stay on its line: the text is as wide as that line, not the name.
    const QString line = QStringLiteral("Lost topics: Microsoft_Visual_Studio_2010_Professional_Reference_Manual_Volume_3_Appendix.chm");
    int lineWidth = 0;
    int labelWidth = 0;
    AlertAnswerer answerer({[&](QMessageBox& box) {
        for (const QLabel* label : box.findChildren<QLabel*>()) {
            if (label->text() == line && label->isVisible()) {
                lineWidth = label->fontMetrics().horizontalAdvance(line);
                labelWidth = label->contentsRect().width();
            }
        }
        box.defaultButton()->click();
    }});
    RunAlertSheet("Short", line, "OK", QString(), QString(), &window);
    ASSERT_EQ(answerer.seen().size(), 1u);
    ASSERT_GT(lineWidth, 0);
    ASSERT_LT(lineWidth + 200, window.screen()->availableGeometry().width()) << "the screen leaves room for the line";
    EXPECT_GE(labelWidth, lineWidth);
}

// Esc, or closing the alert's window, and then a click on the named button: what the alert
// answered, and whether it was still up after the key and the close.
struct EscapeOutcome {
    int answer = 12345;
    bool stayedAfterEscape = false;
    bool stayedAfterClose = false;
};

EscapeOutcome pressEscapeThenClick(QWidget& window, const QString& alternate, const QString& other,
                                   const QString& clickAfter, const QString& defaultButton = QStringLiteral("OK"))
{
    EscapeOutcome outcome;
    AlertAnswerer answerer({[&](QMessageBox& box) {
        QTest::keyClick(&box, Qt::Key_Escape);
        QCoreApplication::processEvents();
        outcome.stayedAfterEscape = box.isVisible();
        if (outcome.stayedAfterEscape) {
            box.close();
            QCoreApplication::processEvents();
            outcome.stayedAfterClose = box.isVisible();
        }
        if (box.isVisible())
            AlertAnswerer::click(clickAfter)(box);
    }});
    outcome.answer = RunAlertSheet("Title", "Message", defaultButton, alternate, other, &window);
    return outcome;
}

TEST_F(AlertSheetTest, EscapeAnswersCancelOrNoOrAPlainOKButNeverAButtonThatActs)
{
    // Beside a button that would discard a value or open a folder, Esc answers the plain "OK".
    for (const QString& alternate : {QStringLiteral("Discard Value"), QStringLiteral("Open Destination Folder")}) {
        const EscapeOutcome outcome = pressEscapeThenClick(window, alternate, QString(), alternate);
        EXPECT_FALSE(outcome.stayedAfterEscape) << alternate.toStdString();
        EXPECT_EQ(outcome.answer, 1) << alternate.toStdString();
    }
    // An alert that only informs closes.
    const EscapeOutcome lone = pressEscapeThenClick(window, QString(), QString(), "OK");
    EXPECT_FALSE(lone.stayedAfterEscape);
    EXPECT_EQ(lone.answer, 1);

    // A button titled Cancel, in whichever place, is what Esc presses.
    const EscapeOutcome alternateCancel = pressEscapeThenClick(window, "Cancel", QString(), "OK");
    EXPECT_FALSE(alternateCancel.stayedAfterEscape);
    EXPECT_EQ(alternateCancel.answer, 0);
    const EscapeOutcome otherCancel = pressEscapeThenClick(window, "Discard", "&Cancel", "OK");
    EXPECT_FALSE(otherCancel.stayedAfterEscape);
    EXPECT_EQ(otherCancel.answer, -1);

    // A question whose default acts is answered "No"; without a way out Esc does nothing.
    for (const char* action : {"Remove", "Replace"})
        EXPECT_EQ(pressEscapeThenClick(window, "No", QString(), action, action).answer, 0) << action;
    const EscapeOutcome noWayOut = pressEscapeThenClick(window, "Keep", QString(), "Remove", "Remove");
    EXPECT_TRUE(noWayOut.stayedAfterEscape);
    EXPECT_TRUE(noWayOut.stayedAfterClose);
}

TEST_F(AlertSheetTest, OnlyACancelButtonTakesTheRejectRole)
{
    QMap<QString, QMessageBox::ButtonRole> roles;
    AlertAnswerer answerer({[&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            roles[button->text()] = box.buttonRole(button);
        box.defaultButton()->click();
    }});
    RunAlertSheet("Title", "Message", "OK", "Discard Value", "Cancel", &window);
    EXPECT_EQ(roles.value("OK"), QMessageBox::AcceptRole);
    EXPECT_NE(roles.value("Discard Value"), QMessageBox::RejectRole);
    EXPECT_EQ(roles.value("Cancel"), QMessageBox::RejectRole);
}

TEST_F(AlertSheetTest, AbsentButtonsAreLeftOutButTheAlertKeepsAWayOut)
{
    AlertAnswerer answerer(QStringList{"OK", "OK"});
    EXPECT_EQ(RunAlertSheet("Title", "Message", "OK", QString(), QString(), &window), 1);
    EXPECT_EQ(RunAlertSheet("Title", "Message", QString(), QString(), QString(), &window), 1);
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[0].buttons, QStringList{"OK"});
    EXPECT_EQ(answerer.seen()[1].buttons, QStringList{"OK"});
}

TEST_F(AlertSheetTest, TextsAreShownAsTypedNeverAsMarkupOrFormats)
{
    const QString title = R"(<b>The value "%@"</b> is 100% <i>wrong</i> %d %1)";
    const QString message = "Use &amp; <br/> %@ %2";
    AlertAnswerer answerer(QStringList{"OK", "OK"});
    RunAlertSheet(title, message, "OK", QString(), QString(), &window);
    RunAlertSheet(QString(), QString(), "OK", QString(), QString(), &window);

    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_EQ(answerer.seen()[0].title, title);
    EXPECT_EQ(answerer.seen()[0].message, message);
    EXPECT_TRUE(answerer.seen()[0].textsArePlain);
    EXPECT_EQ(answerer.seen()[1].title, QString(""));
    EXPECT_EQ(answerer.seen()[1].message, QString(""));
}

TEST_F(AlertSheetTest, WithoutWindowTheActiveWindowCarriesTheAlert)
{
    AlertAnswerer answerer(QStringList{"OK"});
    RunAlertSheet("Title", "Message", "OK", QString(), QString(), nullptr);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().parent, &window);
    EXPECT_EQ(answerer.last().modality, Qt::WindowModal);
}

TEST_F(AlertSheetTest, WorkerThreadWaitsForTheButtonWhileTheMainLoopRuns)
{
    std::atomic<int> answer{12345};
    std::atomic<bool> returned{false};
    bool workerWasStillWaiting = false;
    AlertAnswerer answerer({[&](QMessageBox& box) {
        workerWasStillWaiting = !returned.load();
        AlertAnswerer::click("No")(box);
    }});

    std::thread worker([&] {
        answer = RunAlertSheet("Replace the preset?", QString(), "Replace", "No", QString(), &window);
        returned = true;
    });
    const bool finished = spinUntil([&] { return returned.load(); });
    worker.join();

    ASSERT_TRUE(finished);
    EXPECT_TRUE(workerWasStillWaiting);
    EXPECT_EQ(answer.load(), 0);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().parent, &window);
}

TEST_F(AlertSheetTest, WaitReleasesAnotherThreadWithTheFinalAnswer)
{
    CustomAlert alert("Title", "Message", "OK", "Cancel", QString());
    alert.setWindow(&window);
    std::atomic<int> answerSeenByWaiter{12345};
    std::thread waiter([&] {
        alert.wait();
        answerSeenByWaiter = alert.responseCode();
    });
    {
        AlertAnswerer answerer(QStringList{"Cancel"});
        alert.showModalSheet();
    }
    waiter.join();
    EXPECT_EQ(answerSeenByWaiter.load(), 0);

    // An answer given before anyone waits does not leave a later waiter blocked.
    std::thread lateWaiter([&] { alert.wait(); });
    lateWaiter.join();
}

TEST_F(AlertSheetTest, NewAlertHasNoTextsAndNoAnswer)
{
    const CustomAlert alert;
    EXPECT_TRUE(alert.title().isNull());
    EXPECT_TRUE(alert.message().isNull());
    EXPECT_EQ(alert.responseCode(), -1);
    EXPECT_EQ(alert.alertStyle(), 0);
}

TEST_F(AlertSheetTest, AlertWithoutMessageShowsNothing)
{
    CustomAlert alert;
    alert.setTitle("Title");
    alert.setWindow(&window);
    AlertAnswerer answerer;
    alert.showModalSheetUsingAlert();
    EXPECT_EQ(alert.responseCode(), -1);
    EXPECT_TRUE(answerer.seen().empty());
}

TEST_F(AlertSheetTest, AccessoryViewIsLentToTheAlertAndGivenBack)
{
    QWidget owner;
    auto* accessory = new QLineEdit(&owner);
    bool shownInsideAlert = false;
    AlertAnswerer answerer({[&](QMessageBox& box) {
        shownInsideAlert = box.isAncestorOf(accessory) && accessory->isVisible();
        AlertAnswerer::click("Fine")(box);
    }});
    EXPECT_EQ(RunAlertSheetWithAccessoryView("Title", "Message", "Fine", QString(), QString(), &window, accessory), 1);
    EXPECT_TRUE(shownInsideAlert);
    EXPECT_EQ(accessory->parentWidget(), &owner);
}

TEST_F(AlertSheetTest, AlertEndsWhenItsWindowGoesAway)
{
    auto doomed = std::make_unique<QWidget>();
    doomed->show();
    AlertAnswerer answerer({[&](QMessageBox&) { doomed.reset(); }});
    EXPECT_EQ(RunAlertSheet("Title", "Message", "OK", "Discard", QString(), doomed.get()), 1);
    EXPECT_EQ(answerer.seen().size(), 1u);
}

TEST_F(AlertSheetTest, ApplicationModalAlertAnswersLikeTheSheet)
{
    CustomAlert alert("Title", "Message", "OK", "Cancel", "Other");
    AlertAnswerer answerer(QStringList{"Other"});
    alert.showModalAlert();
    EXPECT_EQ(alert.responseCode(), -1);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().modality, Qt::ApplicationModal);
}

} // namespace
