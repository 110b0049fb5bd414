#include "app/presets/PlistVariant.h"
#include "app/presets/PreferencePlist.h"
#include "app/presets/PresetEntries.h"
#include "app/support/UserActions.h"

#include <QDateTime>
#include <QDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

TEST(PlistVariant, ValuesSurviveARoundTrip)
{
    const QVariantMap original{
        {"Text", QString::fromUtf8("Größe <&> \"%@\" 日本")},
        {"Empty", QString("")},
        {"Integer", qlonglong(42)},
        {"Negative", qlonglong(-7)},
        {"Real", 27.2},
        {"Flag", true},
        {"Bytes", QByteArray("\x00\x01\xff", 3)},
        {"When", QDateTime(QDate(2024, 6, 7), QTime(8, 9, 10), QTimeZone::utc())},
        {"Nested", QVariantMap{{"List", QVariantList{qlonglong(1), "two", QVariantList{}}}}},
    };
    const std::optional<QVariant> back = PlistVariant::fromXml(PlistVariant::toXml(original));
    ASSERT_TRUE(back.has_value());
    const QVariantMap map = back->toMap();
    for (auto it = original.constBegin(); it != original.constEnd(); ++it)
        EXPECT_EQ(map.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(map.value("Integer").typeId(), QMetaType::LongLong);
    EXPECT_EQ(map.value("Real").typeId(), QMetaType::Double);
}

TEST(PlistVariant, MalformedOrOversizedInputReadsAsNothing)
{
    const QList<QByteArray> bad{
        QByteArray(),
        "not a property list",
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>",
        "<plist version=\"1.0\"><dict><key>a</key><integer>1</integer></array></plist>",
        "<plist version=\"1.0\">" + QByteArray("<dict><key>k</key>").repeated(5000) + "</plist>",
        "<plist version=\"1.0\"><string>" + QByteArray(PlistVariant::kMaximumBytes, 'x') + "</string></plist>",
    };
    for (const QByteArray& bytes : bad)
        EXPECT_FALSE(PlistVariant::fromXml(bytes).has_value()) << bytes.left(60).toStdString();
}

TEST(PlistVariant, NestingBeyondTheDepthLimitIsDroppedNotFollowed)
{
    const int levels = PlistVariant::kMaximumDepth + 10;
    const QByteArray xml = "<plist version=\"1.0\">" + QByteArray("<array>").repeated(levels) + "<string>deep</string>"
        + QByteArray("</array>").repeated(levels) + "</plist>";
    const std::optional<QVariant> value = PlistVariant::fromXml(xml);
    ASSERT_TRUE(value.has_value());
    int depth = 0;
    QVariant current = *value;
    while (current.typeId() == QMetaType::QVariantList && !current.toList().isEmpty()) {
        current = current.toList().first();
        ++depth;
    }
    EXPECT_LE(depth, PlistVariant::kMaximumDepth);
    EXPECT_NE(current.toString(), "deep");
}

TEST(PreferencePlist, WritesAndReadsDictionariesInTheApplicationsConfigFolder)
{
    const ScopedConfigHome config;
    QVariantMap read;
    EXPECT_FALSE(ReadPreferencePlist(&read, kGeneralPrefFileFormat));

    ASSERT_TRUE(WritePreferencePlist({{"PresetIndex", qlonglong(5)}}, kGeneralPrefFileFormat));
    EXPECT_EQ(PreferencePlistPath(kGeneralPrefFileFormat),
              config.path() + "/org.tomefold.Tomefold/org.tomefold.Tomefold-Pref.plist");
    EXPECT_TRUE(config.readPreferenceFile(kGeneralPrefFileFormat).contains("<key>PresetIndex</key>"));
    ASSERT_TRUE(ReadPreferencePlist(&read, kGeneralPrefFileFormat));
    EXPECT_EQ(read.value("PresetIndex"), QVariant(qlonglong(5)));

    // Replacing the file leaves no temporary file behind.
    ASSERT_TRUE(WritePreferencePlist({{"PresetIndex", qlonglong(6)}}, kGeneralPrefFileFormat));
    EXPECT_EQ(QDir(config.path() + "/org.tomefold.Tomefold").entryList(QDir::Files),
              QStringList{"org.tomefold.Tomefold-Pref.plist"});

    // A property list whose top level is no dictionary is not a preference file.
    config.writePreferenceFile(kPresetPrefFileFormat, PlistVariant::toXml(QVariantList{"a"}));
    QVariantMap untouched{{"kept", true}};
    EXPECT_FALSE(ReadPreferencePlist(&untouched, kPresetPrefFileFormat));
    EXPECT_EQ(untouched.value("kept"), QVariant(true));
}

TEST(PreferencePlist, ANulByteInAStringOrKeyReadsAsAnEmptyFileInsteadOfAborting)
{
    const ScopedConfigHome config;
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>";
    for (const QByteArray& body : {QByteArray("Preset", 6) + '\0' + "Index</key><integer>3</integer>",
                                   QByteArray("InputType</key><string>c") + '\0' + "m</string>"}) {
        config.writePreferenceFile(kGeneralPrefFileFormat, head + body + "</dict></plist>\n");
        QVariantMap read{{"kept", true}};
        EXPECT_FALSE(ReadPreferencePlist(&read, kGeneralPrefFileFormat));
        EXPECT_EQ(read, (QVariantMap{{"kept", true}}));
    }
}

TEST(PreferencePlist, AnUnusableFolderFailsBothWays)
{
    const ScopedConfigHome config;
    QFile blocker(config.path() + "/org.tomefold.Tomefold");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVariantMap read;
    EXPECT_FALSE(WritePreferencePlist({{"PresetIndex", qlonglong(5)}}, kGeneralPrefFileFormat));
    EXPECT_FALSE(ReadPreferencePlist(&read, kGeneralPrefFileFormat));
}

TEST(PresetEntries, ValuesOfTheWrongTypeCountAsAbsent)
{
    using namespace PresetEntries;
    EXPECT_EQ(integerValue(qlonglong(3)), 3);
    EXPECT_FALSE(integerValue(3.0).has_value());
    EXPECT_FALSE(integerValue("3").has_value());
    EXPECT_FALSE(integerValue(true).has_value());
    EXPECT_EQ(stringValue("x"), "x");
    EXPECT_FALSE(stringValue(qlonglong(3)).has_value());
    EXPECT_FALSE(stringValue(QVariant()).has_value());

    const QVariantMap presets{{"A", QVariantMap{{"PresetIndex", "0"}}}, {"B", "not an entry"}, {"", QVariantMap{}}};
    EXPECT_TRUE(presetEntry(presets, "A").has_value());
    EXPECT_FALSE(presetPosition(*presetEntry(presets, "A")).has_value());
    EXPECT_FALSE(presetEntry(presets, "B").has_value());
    EXPECT_FALSE(presetEntry(presets, "C").has_value());
    EXPECT_EQ(namesInPresetOrder(presets), QStringList{"A"});
    EXPECT_EQ(presetCount(presets), 1);
}

} // namespace
