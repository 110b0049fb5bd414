#include "chm/reader/ReaderScripts.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace {

// What a script engine reads back from the literal.
QString parsedLiteral(const QString& literal)
{
    const QJsonDocument document = QJsonDocument::fromJson(("[" + literal + "]").toUtf8());
    return document.isArray() ? document.array().at(0).toString() : QStringLiteral("<not a literal>");
}

TEST(ReaderScriptsTest, TypedTextCannotEndTheLiteral)
{
    for (const QString& text : {QStringLiteral("O'Brien's"), QStringLiteral("'); document.title='x'; ('"),
                                QStringLiteral("back\\slash \"quoted\""), QStringLiteral("line\nbreak\u2028sep"),
                                QStringLiteral("</script><script>alert(1)</script>")}) {
        const QString literal = ReaderScripts::stringLiteral(text);
        EXPECT_TRUE(literal.startsWith(u'"') && literal.endsWith(u'"')) << literal.toStdString();
        EXPECT_EQ(parsedLiteral(literal), text);
        EXPECT_FALSE(literal.contains(u'\n'));
        EXPECT_FALSE(literal.contains(QChar(0x2028)));
    }
}

TEST(ReaderScriptsTest, FindScriptIsCompiledIn)
{
    const QString source = ReaderScripts::highlightSource();
    for (const char* function : {"function highlight(", "function removeHighlight(", "function scrollToHighlight("})
        EXPECT_TRUE(source.contains(QLatin1String(function))) << function;
}

} // namespace
