#include "SampleDocuments.h"

#include "toolkit/text/RTFReader.h"
#include "toolkit/text/TextAttributes.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

TEST(TextAttributes, TheDictionaryIsAddedOverTheWholeText)
{
    QTextDocument document;
    ASSERT_TRUE(RTFReader::Read("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\b bold} {\\i\\fs40 big}\\par second}",
                                document));
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(13);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    TextAttributes::ApplyToDocument(document, {{TextAttributes::kFont, font},
                                               {TextAttributes::kForegroundColor, QColor(Qt::blue)},
                                               {TextAttributes::kUnderlineStyle, 1},
                                               {TextAttributes::kParagraphStyle, QVariant::fromValue(centred)}});
    // the font replaces family, size, weight and slant; colour and underline join
    EXPECT_EQ(SampleDocuments::Describe(document).join(u'\n').toStdString(),
              "P [bold big|u,#0000ff,DejaVu Serif,13pt]\nP [second|u,#0000ff,DejaVu Serif,13pt]");
    EXPECT_EQ(document.firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

TEST(TextAttributes, OnlyNamedPropertiesAreSetAndWrongTypesAreIgnored)
{
    const QTextCharFormat format = TextAttributes::CharFormat(
        {{TextAttributes::kFont, QStringLiteral("not a font")}, {TextAttributes::kSuperscript, -1}, {TextAttributes::kKern, 1.5}, {TextAttributes::kBackgroundColor, QColor(Qt::yellow)}});
    EXPECT_FALSE(format.hasProperty(QTextFormat::FontFamilies));
    EXPECT_FALSE(format.hasProperty(QTextFormat::FontPointSize));
    EXPECT_EQ(format.verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(format.fontLetterSpacing(), 1.5);
    EXPECT_EQ(format.background().color(), QColor(Qt::yellow));

    QTextDocument document;
    document.setPlainText(QStringLiteral("unchanged"));
    TextAttributes::ApplyToDocument(document, {});
    EXPECT_EQ(SampleDocuments::Describe(document), QStringList{QStringLiteral("P [unchanged|]")});
}
