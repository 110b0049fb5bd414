#include "app/presets/PresetTestFixture.h"

#include <QMessageBox>

namespace {

using UserActions::chooseText;
using UserActions::retype;

class PageSizePresetDialogTest : public PresetTestFixture {};

TEST_F(PageSizePresetDialogTest, SavingProposesANameAndStoresTheFieldsInTheirUnit)
{
    openDialog();
    EXPECT_EQ(nameBox().currentText(), "Page Size Preset");
    EXPECT_EQ(nameBox().count(), 0);
    QTest::mouseClick(dialog().saveButton(), Qt::LeftButton);

    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(presetItems(), QStringList{"Page Size Preset"});
    EXPECT_EQ(pageSizes().currentIndex(), 17);
    const QVariantMap stored = presetEntry("Page Size Preset");
    EXPECT_EQ(stored.value("InputType"), "mm");
    EXPECT_EQ(stored.value("Width"), "210");
    EXPECT_EQ(stored.value("Height"), "297");
    for (const char* margin : {"Left", "Top", "Right", "Bottom"})
        EXPECT_EQ(stored.value(margin), "27.2") << margin;
    EXPECT_EQ(stored.value("PresetIndex"), QVariant(qlonglong(0)));
}

TEST_F(PageSizePresetDialogTest, ProposedNameSkipsTakenNamesAndASelectedPresetIsOffered)
{
    savePreset("Page Size Preset");
    chooseText(pageSizes(), "A4");
    savePreset("Page Size Preset 1");
    chooseText(pageSizes(), "A5");
    openDialog();
    EXPECT_EQ(nameBox().currentText(), "Page Size Preset 2");
    EXPECT_EQ(nameBoxItems(), (QStringList{"Page Size Preset", "Page Size Preset 1"}));
    QTest::mouseClick(dialog().cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(presetItems().size(), 2);

    chooseText(pageSizes(), "Page Size Preset 1");
    openDialog();
    EXPECT_EQ(nameBox().currentIndex(), 1);
    EXPECT_EQ(nameBox().currentText(), "Page Size Preset 1");
}

TEST_F(PageSizePresetDialogTest, ReplacingIsAskedAndNoKeepsTheDialogAndTheFile)
{
    savePreset("Page Size Preset");
    const QByteArray before = config.readPreferenceFile(kPresetPrefFileFormat);
    retype(field(Field::Width), "100");

    openDialog();
    typeName("Page Size Preset");
    {
        AlertAnswerer answerer(QStringList{"No"});
        QTest::mouseClick(dialog().saveButton(), Qt::LeftButton);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title, R"(A preset named "Page Size Preset" already exists. Do you want to replace it?)");
        EXPECT_EQ(answerer.last().message, "");
        EXPECT_EQ(answerer.last().buttons, (QStringList{"Replace", "No"}));
        EXPECT_EQ(answerer.last().parent, &dialog());
    }
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(config.readPreferenceFile(kPresetPrefFileFormat), before);

    {
        AlertAnswerer answerer(QStringList{"Replace"});
        QTest::mouseClick(dialog().saveButton(), Qt::LeftButton);
        EXPECT_EQ(answerer.seen().size(), 1u);
    }
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(presetEntry("Page Size Preset").value("Width"), "100");
    EXPECT_EQ(presetEntry("Page Size Preset").value("PresetIndex"), QVariant(qlonglong(0)));
    EXPECT_EQ(presetItems(), QStringList{"Page Size Preset"});
    EXPECT_EQ(pageSizes().currentIndex(), 17);
}

TEST_F(PageSizePresetDialogTest, EnterNeverRemovesOrReplacesAPresetWhicheverButtonWasUsedLast)
{
    savePreset("Mine");
    const QByteArray before = config.readPreferenceFile(kPresetPrefFileFormat);
    chooseText(pageSizes(), "Mine");
    openDialog();
    {
        AlertAnswerer answerer(QStringList{"No"});
        QTest::mouseClick(dialog().removeButton(), Qt::LeftButton);
        ASSERT_EQ(answerer.seen().size(), 1u);
    }
    QTest::mouseClick(dialog().cancelButton(), Qt::LeftButton);

    // Opened again, Enter and Enter once more on whatever that asks.
    openDialog();
    QWidget* focus = dialog().focusWidget();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(focus == &nameBox() || nameBox().isAncestorOf(focus));
    AlertAnswerer answerer({[](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }});
    QTest::keyClick(focus, Qt::Key_Return);
    EXPECT_EQ(presetItems(), QStringList{"Mine"});
    EXPECT_EQ(config.readPreferenceFile(kPresetPrefFileFormat), before);
}

TEST_F(PageSizePresetDialogTest, FixedSizeTitlesAndEmptyNamesAreRefused)
{
    openDialog();
    for (const QString& name : {QStringLiteral("A4"), QStringLiteral("Custom"), QStringLiteral("US Letter")}) {
        typeName(name);
        AlertAnswerer answerer(QStringList{"OK"});
        QTest::mouseClick(dialog().saveButton(), Qt::LeftButton);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title,
                  QStringLiteral("\"%1\" is the name of a standard page size. Please choose another name.").arg(name));
        EXPECT_EQ(answerer.last().buttons, QStringList{"OK"});
    }
    typeName("");
    AlertAnswerer answerer(QStringList{"OK"});
    QTest::mouseClick(dialog().saveButton(), Qt::LeftButton);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.last().title, "Please enter a name for the preset.");

    EXPECT_TRUE(dialog().isVisible());
    EXPECT_TRUE(presetFile().isEmpty());
    EXPECT_TRUE(presetItems().isEmpty());
}

TEST_F(PageSizePresetDialogTest, RemovingAPresetRenumbersTheOnesAfterIt)
{
    for (const QString& name : {QStringLiteral("North"), QStringLiteral("East"), QStringLiteral("South")})
        savePreset(name);
    ASSERT_EQ(presetItems(), (QStringList{"North", "East", "South"}));

    openDialog();
    typeName("East");
    {
        AlertAnswerer answerer(QStringList{"No"});
        QTest::mouseClick(dialog().removeButton(), Qt::LeftButton);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title, R"(Do you want to remove the preset "East"?)");
        EXPECT_EQ(answerer.last().buttons, (QStringList{"Remove", "No"}));
    }
    EXPECT_EQ(presetFile().size(), 3);

    {
        AlertAnswerer answerer(QStringList{"Remove"});
        QTest::mouseClick(dialog().removeButton(), Qt::LeftButton);
        EXPECT_EQ(answerer.seen().size(), 1u);
    }
    EXPECT_TRUE(dialog().isVisible());
    const QVariantMap presets = presetFile();
    EXPECT_EQ(presets.keys(), (QStringList{"North", "South"}));
    EXPECT_EQ(presets.value("North").toMap().value("PresetIndex"), QVariant(qlonglong(0)));
    EXPECT_EQ(presets.value("South").toMap().value("PresetIndex"), QVariant(qlonglong(1)));
    EXPECT_EQ(presetItems(), (QStringList{"North", "South"}));
    EXPECT_EQ(nameBoxItems(), (QStringList{"North", "South"}));

    // The next preset takes the place after the last one.
    QTest::mouseClick(dialog().cancelButton(), Qt::LeftButton);
    savePreset("West");
    EXPECT_EQ(presetEntry("West").value("PresetIndex"), QVariant(qlonglong(2)));
    EXPECT_EQ(pageSizes().currentIndex(), 19);
}

TEST_F(PageSizePresetDialogTest, RemovingAnUnknownNameSaysSoAndTheSelectedPresetLeavesCustomValues)
{
    savePreset("Only");
    openDialog();
    typeName("Nowhere %1 %@");
    {
        AlertAnswerer answerer(QStringList{"OK"});
        QTest::mouseClick(dialog().removeButton(), Qt::LeftButton);
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_EQ(answerer.last().title, R"(There is no preset named "Nowhere %1 %@".)");
    }
    ASSERT_EQ(pageSizes().currentIndex(), 17);
    typeName("Only");
    AlertAnswerer answerer(QStringList{"Remove"});
    QTest::mouseClick(dialog().removeButton(), Qt::LeftButton);
    EXPECT_EQ(pageSizes().currentIndex(), 0);
    EXPECT_EQ(texts(), (QStringList{"210", "297", "27.2", "27.2", "27.2", "27.2"}));
    EXPECT_TRUE(presetItems().isEmpty());
}

TEST_F(PageSizePresetDialogTest, AFailedWriteLeavesThePopupAndClosesTheDialog)
{
    // A file where the preferences folder should be: nothing can be read or written there.
    QDir(config.path()).removeRecursively();
    QDir().mkpath(config.path());
    QFile blocker(QDir(config.path()).filePath("org.tomefold.Tomefold"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    savePreset("Lost");
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_TRUE(presetItems().isEmpty());
    EXPECT_EQ(pageSizes().currentIndex(), 3);
}

} // namespace
