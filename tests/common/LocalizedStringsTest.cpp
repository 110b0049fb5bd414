#include "common/LocalizedStrings.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(LocalizedStrings, TextsComeFromTheTableAndUnknownKeysStandForThemselves)
{
    EXPECT_EQ(Localized("ExportingMany").arg(1).arg(2), QStringLiteral("Exporting 1 of 2 files"));
    EXPECT_EQ(Localized("NoSuchKey"), QStringLiteral("NoSuchKey"));
}

// Every key the application asks for has a text: a key missing from the table would show the key
// itself to the user.
TEST(LocalizedStrings, EveryKeyUsedInTheSourcesHasAText)
{
    const QDir sources(TestSupport::sourceDataPath(QStringLiteral("../../src")));
    ASSERT_TRUE(sources.exists());
    QFile tableFile(TestSupport::sourceDataPath(QStringLiteral("../../resources/strings/Localizable.json")));
    ASSERT_TRUE(tableFile.open(QIODevice::ReadOnly));
    const QJsonObject table = QJsonDocument::fromJson(tableFile.readAll()).object();
    const QRegularExpression call(QStringLiteral(R"re(Localized\("([^"]+)"\))re"));
    int keys = 0;
    QDirIterator files(sources.path(), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& match : call.globalMatch(text)) {
            EXPECT_TRUE(table.value(match.captured(1)).isString())
                << match.captured(1).toStdString() << " in " << file.fileName().toStdString();
            ++keys;
        }
    }
    EXPECT_GT(keys, 20);
}
