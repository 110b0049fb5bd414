#include "chm/LCIDTable.h"
#include "platform/TextEncoding.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

TEST(LCIDTable, MapsLocalesToTheirWindowsCodePages)
{
    const QList<std::pair<std::int32_t, const char*>> rows{
        {1033, "CP1252"}, {20490, "CP1252"}, {1049, "CP1251"}, {3098, "CP1251"}, {1041, "CP932"},
        {2052, "CP936"},  {4100, "CP936"},   {1028, "CP950"},  {5124, "CP950"},  {1042, "CP949"},
        {1025, "CP1256"}, {16385, "CP1256"}, {1029, "CP1250"}, {2074, "CP1250"}, {1054, "CP874"},
        {1032, "CP1253"}, {1037, "CP1255"},  {1055, "CP1254"}, {1091, "CP1254"}, {1061, "CP1257"},
        {1066, "CP1258"},
    };
    for (const auto& [lcid, name] : rows)
        EXPECT_EQ(LCIDTable::codePageForLCID(lcid), QString::fromLatin1(name)) << lcid;
    for (const std::int32_t unlisted : {0, 1034, -1, 1033 + 65536, 99999})
        EXPECT_TRUE(LCIDTable::codePageForLCID(unlisted).isNull()) << unlisted;
}

TEST(LCIDTable, EveryCodePageNameIsAKnownEncodingWithLabels)
{
    QSet<QString> names;
    for (std::int32_t lcid = 0; lcid < 0x10000; ++lcid) {
        const QString name = LCIDTable::codePageForLCID(lcid);
        if (!name.isNull())
            names.insert(name);
    }
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        EXPECT_TRUE(TextEncoding::decodeStrict("plain", name).has_value()) << name.toStdString();
        EXPECT_FALSE(TextEncoding::libxml2Label(name).isEmpty()) << name.toStdString();
        EXPECT_FALSE(TextEncoding::webCharsetLabel(name).isEmpty()) << name.toStdString();
    }
}

} // namespace
