#include "app/encoding/EncodingMenu.h"
#include "app/presets/PlistVariant.h"
#include "platform/TextEncoding.h"

#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QVariantMap entry(const QString& name, const QString& title)
{
    return {{"name", name}, {"title", title}};
}

bool isSeparator(const QComboBox& popup, int index)
{
    return popup.itemData(index, Qt::AccessibleDescriptionRole).toString() == QLatin1String("separator");
}

class EncodingMenuTest : public ::testing::Test {
protected:
    QString writeResource(const QByteArray& bytes, const QString& fileName = "textencoding.plist")
    {
        const QString path = dir.filePath(fileName);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString writeResource(const QVariantList& groups) { return writeResource(PlistVariant::toXml(groups)); }
    QString writeResource(const QVariant& anything, const QString& fileName)
    {
        return writeResource(PlistVariant::toXml(anything), fileName);
    }

    QTemporaryDir dir;
    QComboBox popup;
    QStringList names;
};

TEST_F(EncodingMenuTest, GroupsGetConsecutiveTagsAndSeparatorsBetweenThem)
{
    const QString path = writeResource(QVariantList{
        QVariantList{entry("auto", "Automatic"), entry("UTF-8", "Unicode")},
        QVariantList{entry("CP1252", "Western"), entry("CP1250", "Central European"), entry("KOI8-R", "Cyrillic")},
        QVariantList{entry("Shift_JIS", "Japanese")},
    });
    initEncodingMenu(popup, names, path);

    EXPECT_EQ(names, (QStringList{"auto", "UTF-8", "CP1252", "CP1250", "KOI8-R", "Shift_JIS"}));
    ASSERT_EQ(popup.count(), 8);
    EXPECT_TRUE(isSeparator(popup, 2));
    EXPECT_TRUE(isSeparator(popup, 6));
    EXPECT_FALSE(isSeparator(popup, 7));
    QList<int> tags;
    for (int index = 0; index < popup.count(); ++index) {
        if (!isSeparator(popup, index))
            tags << popup.itemData(index).toInt();
    }
    EXPECT_EQ(tags, (QList<int>{0, 1, 2, 3, 4, 5}));

    popup.setCurrentIndex(0);
    EXPECT_TRUE(GetCurrentEncodingName(popup, names).isNull());
    popup.setCurrentIndex(popup.findText("Central European"));
    EXPECT_EQ(GetCurrentEncodingName(popup, names), "CP1250");
}

TEST_F(EncodingMenuTest, MissingOrMalformedResourceLeavesTheLayoutsItems)
{
    popup.addItem("From the layout", 7);
    popup.addItem("Also from the layout", 1);
    const QStringList paths{dir.filePath("missing.plist"), writeResource(QByteArray("garbage \x01\x02"), "garbage"),
                            writeResource(QVariantMap{{"name", "UTF-8"}}, "dictionary"),
                            writeResource(QVariantList{"flat", "list"}, "flat")};
    for (const QString& path : paths) {
        initEncodingMenu(popup, names, path);
        EXPECT_EQ(popup.count(), 2);
        EXPECT_TRUE(names.isEmpty());
        for (const int index : {0, 1}) {
            popup.setCurrentIndex(index);
            EXPECT_TRUE(GetCurrentEncodingName(popup, names).isNull());
        }
    }
}

TEST_F(EncodingMenuTest, MalformedGroupsAndEntriesAreLeftOut)
{
    const QString path = writeResource(QVariantList{
        QVariantList{entry("auto", "Automatic"), QVariantMap{{"name", "UTF-8"}}, "stray text",
                     QVariantMap{{"name", qlonglong(5)}, {"title", "Numbered"}}, entry("GBK", "Chinese")},
        "not a group",
        QVariantList{entry("Big5", "Traditional Chinese")},
    });
    initEncodingMenu(popup, names, path);
    EXPECT_EQ(names, (QStringList{"auto", "GBK", "Big5"}));
    EXPECT_EQ(popup.count(), 4);
    popup.setCurrentIndex(popup.findText("Traditional Chinese"));
    EXPECT_EQ(GetCurrentEncodingName(popup, names), "Big5");
}

TEST_F(EncodingMenuTest, ShippedMenuOffersNamesTheConversionAndTheWebEngineBothKnow)
{
    initEncodingMenu(popup, names);
    ASSERT_GT(names.size(), 10);
    popup.setCurrentIndex(0);
    EXPECT_EQ(popup.currentText(), "Automatic");
    EXPECT_TRUE(GetCurrentEncodingName(popup, names).isNull());

    for (qsizetype tag = 1; tag < names.size(); ++tag) {
        EXPECT_TRUE(TextEncoding::isKnown(names[tag])) << names[tag].toStdString();
        EXPECT_FALSE(TextEncoding::webCharsetLabel(names[tag]).isEmpty()) << names[tag].toStdString();
        EXPECT_FALSE(TextEncoding::libxml2Label(names[tag]).isEmpty()) << names[tag].toStdString();
    }
    EXPECT_FALSE(isSeparator(popup, popup.count() - 1));
    for (int index = 1; index < popup.count(); ++index)
        EXPECT_FALSE(isSeparator(popup, index) && isSeparator(popup, index - 1)) << index;

    popup.setCurrentIndex(popup.findText("Unicode (UTF-8)"));
    EXPECT_EQ(GetCurrentEncodingName(popup, names), "UTF-8");
}

} // namespace
