#include "app/options/PageUnits.h"
#include "app/presets/PresetTestFixture.h"

#include <QRandomGenerator>

namespace {

using UserActions::chooseText;

class PresetRestartTest : public PresetTestFixture {
protected:
    void writeGeneralFile(const QVariant& presetIndex) const
    {
        config.writePreferenceFile(kGeneralPrefFileFormat, PlistVariant::toXml(QVariantMap{{"PresetIndex", presetIndex}}));
    }

    void expectFirstLaunchState()
    {
        EXPECT_EQ(pageSizes().currentIndex(), 3);
        EXPECT_EQ(units().currentData().toInt(), PageUnits::kMillimetreTag);
        EXPECT_EQ(texts(), (QStringList{"210", "297", "27.2", "27.2", "27.2", "27.2"}));
    }
};

TEST_F(PresetRestartTest, PresetsAndTheSelectedSizeComeBackAfterARestart)
{
    chooseText(units(), "Centimeters");
    savePreset("Metric");
    chooseText(pageSizes(), "US Legal");
    savePreset("Legal copy");
    chooseText(pageSizes(), "Metric");
    ASSERT_TRUE(panel->WriteGeneralPrefOptions());

    restart();
    EXPECT_EQ(presetItems(), (QStringList{"Metric", "Legal copy"}));
    EXPECT_EQ(pageSizes().currentIndex(), 17);
    EXPECT_EQ(units().currentText(), "Centimeters");
    EXPECT_EQ(panel->currentSizeFormatType(), PageUnits::kCentimetreTag);
    EXPECT_EQ(texts(), (QStringList{"21.00", "29.70", "2.72", "2.72", "2.72", "2.72"}));
    EXPECT_DOUBLE_EQ(stepper(Field::Height).value(), 29.7);
    EXPECT_NEAR(panel->pageGeometryInPoints().width, 595.28, 0.01);

    chooseText(pageSizes(), "Legal copy");
    EXPECT_EQ(units().currentText(), "Millimeters");
    EXPECT_EQ(texts(), (QStringList{"216", "356", "27.2", "27.2", "27.2", "27.2"}));
}

TEST_F(PresetRestartTest, PresetsAreListedByTheirStoredPositions)
{
    writePresetFile({{"Five", entry("mm", {"50"}, 5)},
                     {"Four", entry("mm", {"40"}, 4)},
                     {"Loose", QVariantMap{{"InputType", "mm"}, {"Width", "1"}}},
                     {"Alpha", entry("mm", {"10"}, 7)}});
    restart();
    EXPECT_EQ(presetItems(), (QStringList{"Four", "Five", "Alpha", "Loose"}));
}

TEST_F(PresetRestartTest, StoredSelectionWithoutASizeFallsBackToA4)
{
    writePresetFile({{"Mine", entry("mm", {"100", "100", "1", "1", "1", "1"}, 0)}});
    for (const QVariant& stored : {QVariant(qlonglong(1)), QVariant(qlonglong(16)), QVariant(qlonglong(18)),
                                   QVariant(qlonglong(-5)), QVariant(qlonglong(4294967313LL)), QVariant("17"),
                                   QVariant(17.0), QVariant(true)}) {
        SCOPED_TRACE(stored.toString().toStdString());
        writeGeneralFile(stored);
        restart();
        expectFirstLaunchState();
    }
    writeGeneralFile(qlonglong(17));
    restart();
    EXPECT_EQ(pageSizes().currentIndex(), 17);
    EXPECT_EQ(field(Field::Width).text(), "100");
}

TEST_F(PresetRestartTest, GarbagePreferenceFilesReadAsEmpty)
{
    QByteArray random(4096, Qt::Uninitialized);
    QRandomGenerator generator(20240607);
    for (char& byte : random)
        byte = char(generator.bounded(256));
    const QByteArray deep = "<plist version=\"1.0\">" + QByteArray("<array>").repeated(200000)
        + QByteArray("</array>").repeated(200000) + "</plist>";
    const QByteArray huge = "<plist version=\"1.0\"><string>" + QByteArray(3 << 20, 'x') + "</string></plist>";
    const QList<QByteArray> garbage{
        random,
        QByteArray(),
        QByteArray("bplist00\xd1\x01\x02", 11),
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Half",
        PlistVariant::toXml(QVariantList{"not", "a", "dictionary"}),
        deep,
        huge,
    };
    for (const QByteArray& bytes : garbage) {
        config.writePreferenceFile(kPresetPrefFileFormat, bytes);
        config.writePreferenceFile(kGeneralPrefFileFormat, bytes);
        restart();
        EXPECT_TRUE(presetItems().isEmpty());
        expectFirstLaunchState();
    }
    // Saving starts a proper file in place of the garbage.
    savePreset("Fresh");
    EXPECT_EQ(presetFile().keys(), QStringList{"Fresh"});
}

TEST_F(PresetRestartTest, WrongTypesInsideAPresetLeaveTheFieldsAlone)
{
    QVariantMap numbers = entry("mm", {"", "50"}, 0);
    numbers.insert("Width", qlonglong(100));
    writePresetFile({{"Numbers", numbers},
                     {"Furlongs", entry("furlongs", {"1", "2", "0", "0", "0", "0"}, 1)},
                     {"Nameless unit", entry("", {"1", "2", "0", "0", "0", "0"}, 2)},
                     {"Listed", QVariantList{"Width", "5"}},
                     {"Shouting", entry(" CENTIMETERS ", {"10", "20", "1", "1", "1", "1"}, 3)}});
    writeGeneralFile(qlonglong(17));
    restart();
    // The stored choice cannot be applied: the window starts on A4 instead of on empty fields.
    expectFirstLaunchState();
    EXPECT_EQ(presetItems(), (QStringList{"Numbers", "Furlongs", "Nameless unit", "Shouting"}));

    for (const char* unusable : {"Numbers", "Furlongs", "Nameless unit"}) {
        chooseText(pageSizes(), unusable);
        EXPECT_EQ(pageSizes().currentIndex(), 0) << unusable;
        EXPECT_EQ(texts(), (QStringList{"210", "297", "27.2", "27.2", "27.2", "27.2"})) << unusable;
    }
    chooseText(pageSizes(), "Shouting");
    EXPECT_EQ(panel->currentSizeFormatType(), PageUnits::kCentimetreTag);
    EXPECT_EQ(texts(), (QStringList{"10", "20", "1", "1", "1", "1"}));
}

TEST_F(PresetRestartTest, PresetsMissingSomeValuesChangeOnlyTheOnesTheyHold)
{
    writePresetFile({{"Narrow", QVariantMap{{"InputType", "pt"}, {"Width", "300"}, {"PresetIndex", qlonglong(0)}}}});
    restart();
    chooseText(pageSizes(), "Narrow");
    EXPECT_EQ(units().currentText(), "Points");
    EXPECT_EQ(field(Field::Width).text(), "300");
    EXPECT_EQ(field(Field::Height).text(), "297");
}

} // namespace
