#include "app/batch/BatchOutcome.h"
#include "app/options/ExportOptionValidation.h"
#include "common/LocalizedStrings.h"
#include "common/RunAlertSheet.h"
#include "support/AlertAnswerer.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct AlertText {
    QString title;
    QString message;
    QString alternate; // the second button, if any
};

// A name as long as real manuals' file names get, with no blank to break it at.
const QString kLongName = QStringLiteral("Microsoft_Visual_Studio_2010_Professional_Reference_Manual_Volume_3.chm");
const QString kLongFolder = QStringLiteral("/home/someone/Documents/Converted Manuals/From the old help server/") + kLongName;

std::vector<AlertText> validationAlerts()
{
    namespace V = ExportOptionValidation;
    // Field texts in the order width, height, left, top, right, bottom, each failing one check.
    const std::vector<V::FieldTexts> failing{
        {"-210.55", "297", "10", "10", "10", "10"},
        {"210", "-297.55", "10", "10", "10", "10"},
        {"210", "297", "3000.55", "10", "10", "10"},
        {"210", "297", "10", "3000.55", "10", "10"},
        {"210", "297", "10", "10", "3000.55", "10"},
        {"210", "297", "10", "10", "10", "3000.55"},
        {"210", "297", "150.25", "10", "100", "10"},
        {"210", "297", "10", "200.25", "10", "100"},
    };
    std::vector<AlertText> alerts;
    for (const V::FieldTexts& texts : failing) {
        const std::optional<V::Problem> problem = V::findProblem(texts);
        if (!problem) {
            ADD_FAILURE() << "no problem found for " << texts[0].toStdString();
            continue;
        }
        alerts.push_back({problem->title, V::kInformativeText, problem->offersDiscard ? V::kDiscardButton : QString()});
    }
    return alerts;
}

std::vector<AlertText> finalAlerts()
{
    std::vector<AlertText> alerts;
    const auto add = [&alerts](qint64 converted, const QStringList& failed,
                               std::vector<BatchOutcome::MissingTopics> missing = {},
                               std::vector<BatchOutcome::DamagedFile> damaged = {}) {
        const BatchOutcomeTexts texts =
            FinalAlertTexts(BatchOutcome{converted, failed, std::move(missing), std::move(damaged)});
        alerts.push_back({texts.title, texts.message, Localized("OpenDestinationTitle")});
    };
    add(1, {});
    add(12, {});
    add(0, {});
    add(0, {Localized("NotOpenedReason").arg(kLongName)});
    QStringList many;
    for (int i = 0; i < 10; ++i)
        many << Localized(i % 2 ? "NotOpenedReason" : "NotWrittenReason").arg("Manuals/" + kLongName);
    add(3, many);
    add(1, {}, {{kLongName, 2}});
    add(4, {Localized("NotOpenedReason").arg(kLongName)}, {{kLongName, 1}, {"short.chm", 12}});
    add(2, {Localized("NoTopicReadReason").arg(kLongName), Localized("NotWrittenCauseReason").arg(kLongName, "Read-only file system")},
        {}, {{kLongName, 57, 93, true}});
    return alerts;
}

std::vector<AlertText> presetAlerts()
{
    const QString name = QStringLiteral("My page size for the big reference manuals printed at the office");
    return {
        {Localized("EmptyPresetAlertTitle"), "", QString()},
        {Localized("DefaultPresetAlertTitle").arg("A4 (210 x 297 mm)"), "", QString()},
        {Localized("PresetExistAlertMsg").arg(name), "", Localized("NoTitle")},
        {Localized("RemoveExistPresetAlertMsg").arg(name), "", Localized("NoTitle")},
        {Localized("PresetNotExistAlertMsg").arg(name), "", QString()},
    };
}

std::vector<AlertText> openingAlerts()
{
    const QString manual = "/opt/tomefold/share/tomefold/doc/" + kLongName;
    return {
        {Localized("ManualMissingTitle"), Localized("ManualMissingMessage").arg(manual), QString()},
        {Localized("ManualOpenFailedTitle"), Localized("ManualOpenFailedMsg").arg(manual), QString()},
        {Localized("OpenFolderFailedTitle"), Localized("OpenFolderFailedMsg").arg(kLongFolder), QString()},
    };
}

// Where a shown label's text would not be seen whole: wider or taller than the label's room, or the
// label itself reaching past the alert or the alert past the screen's sides. (The test screen is
// 800 by 600: a list of failed files at 1.5 times the text size is taller than that.)
QStringList clippedTexts(const QMessageBox& box)
{
    QStringList clipped;
    const QRect screen = box.screen()->availableGeometry();
    if (box.width() > screen.width())
        clipped << QStringLiteral("alert %1 wide, beyond the screen").arg(box.width());
    for (const QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || !label->isVisible())
            continue;
        const QRect room = label->contentsRect();
        // Measured apart from the label's own hints, to a fraction of a pixel.
        const int flags = Qt::AlignLeft | Qt::AlignTop | (label->wordWrap() ? Qt::TextWordWrap : 0);
        const QRectF needed = QFontMetricsF(label->font()).boundingRect(QRectF(0, 0, room.width(), 100000), flags, label->text());
        const QRect inBox(label->mapTo(&box, room.topLeft()), room.size());
        constexpr double kRounding = 0.5;
        if (needed.width() > room.width() + kRounding || needed.height() > room.height() + kRounding
            || !box.rect().contains(inBox))
            clipped << QStringLiteral("%1 (needs %2x%3, has %4x%5)")
                           .arg(label->text().left(40))
                           .arg(needed.width())
                           .arg(needed.height())
                           .arg(room.width())
                           .arg(room.height());
    }
    return clipped;
}

class AlertTextsFitTest : public ::testing::TestWithParam<double> {
protected:
    void SetUp() override
    {
        savedFont = QApplication::font();
        QFont scaled = savedFont;
        scaled.setPointSizeF(savedFont.pointSizeF() * GetParam());
        QApplication::setFont(scaled);
        window.resize(900, 700);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { QApplication::setFont(savedFont); }

    void expectWhole(const std::vector<AlertText>& alerts)
    {
        for (const AlertText& alert : alerts) {
            QStringList clipped;
            AlertAnswerer answerer({[&clipped](QMessageBox& box) {
                clipped = clippedTexts(box);
                box.defaultButton()->click();
            }});
            RunAlertSheet(alert.title, alert.message, Localized("OkButtonString"), alert.alternate, QString(), &window);
            EXPECT_EQ(answerer.seen().size(), 1u);
            EXPECT_TRUE(clipped.isEmpty()) << alert.title.toStdString() << "\n"
                                           << clipped.join('\n').toStdString();
        }
    }

    QFont savedFont;
    QWidget window;
};

TEST_P(AlertTextsFitTest, TheOptionChecksAlertsShowTheirWholeText) { expectWhole(validationAlerts()); }
TEST_P(AlertTextsFitTest, TheFinalAlertsShowTheirWholeText) { expectWhole(finalAlerts()); }
TEST_P(AlertTextsFitTest, ThePresetAlertsShowTheirWholeText) { expectWhole(presetAlerts()); }
TEST_P(AlertTextsFitTest, TheOpeningAlertsShowTheirWholeText) { expectWhole(openingAlerts()); }

INSTANTIATE_TEST_SUITE_P(DefaultAndOneAndAHalfTimesText, AlertTextsFitTest, ::testing::Values(1.0, 1.5));

} // namespace
