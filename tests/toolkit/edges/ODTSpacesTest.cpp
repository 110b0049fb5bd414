// Runs of spaces written to OpenDocument text and read back: XML readers fold plain runs of
// spaces into one, so every space after the first of a run must be written as a space element.

#include "toolkit/text/ODTReader.h"
#include "toolkit/text/ODTWriter.h"

#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

QString writtenAndReadBack(const QString& text)
{
    QTextDocument document;
    document.setPlainText(text);
    QString error;
    const QByteArray package = ODTWriter::Write(document, &error);
    EXPECT_FALSE(package.isEmpty()) << error.toStdString();
    QTextDocument back;
    EXPECT_TRUE(ODTReader::Read(package, back, &error)) << error.toStdString();
    return back.toPlainText();
}

} // namespace

TEST(ODTSpaces, RunsOfSpacesReadBackWhole)
{
    for (const QString& text : {QStringLiteral("a  b"), QStringLiteral("a   b    c"), QStringLiteral("  two before"),
                                QStringLiteral(" one before"), QStringLiteral("after  "), QStringLiteral("a b c"),
                                QStringLiteral("tab\t  then spaces")})
        EXPECT_EQ(writtenAndReadBack(text), text);
}

TEST(ODTSpaces, RunsOfSpacesInEveryParagraph)
{
    const QString text = QStringLiteral("first  line\n   second\nthird    ");
    EXPECT_EQ(writtenAndReadBack(text), text);
}
