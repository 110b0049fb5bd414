#include "toolkit/text/CharacterProperties.h"
#include "toolkit/text/OpenDocumentText.h"
#include "toolkit/text/WordProcessingML.h"

#include <QFont>

#include <gtest/gtest.h>

TEST(CharacterProperties, AGivenPropertyReplacesAndAnUnsetOneKeeps)
{
    CharacterProperties style;
    style.font = QStringLiteral("Serif");
    style.pointSize = 12;
    style.bold = true;
    style.color = QColor(Qt::red);
    style.vertical = 1;
    CharacterProperties nothing;
    CharacterProperties kept = style;
    kept.merge(nothing);
    EXPECT_EQ(kept.font, QStringLiteral("Serif"));
    EXPECT_EQ(kept.pointSize, 12.0);
    EXPECT_EQ(kept.bold, true);
    EXPECT_EQ(kept.color, QColor(Qt::red));
    EXPECT_EQ(kept.vertical, 1);

    CharacterProperties run;
    run.font = QStringLiteral("Mono");
    run.pointSize = 9;
    run.bold = false; // switched off again by the run itself
    run.italic = true;
    run.underline = false;
    run.strike = true;
    run.color = QColor(Qt::blue);
    run.background = QColor(Qt::yellow);
    run.vertical = 0;
    style.merge(run);
    EXPECT_EQ(style.font, QStringLiteral("Mono"));
    EXPECT_EQ(style.pointSize, 9.0);
    EXPECT_EQ(style.bold, false);
    EXPECT_EQ(style.italic, true);
    EXPECT_EQ(style.underline, false);
    EXPECT_EQ(style.strike, true);
    EXPECT_EQ(style.color, QColor(Qt::blue));
    EXPECT_EQ(style.background, QColor(Qt::yellow));
    EXPECT_EQ(style.vertical, 0);
}

TEST(CharacterProperties, AFormatComesBackFromWhatAWriterTakesOfIt)
{
    QTextCharFormat format;
    format.setFontFamilies({QStringLiteral("DejaVu Sans")});
    format.setFontPointSize(10.5);
    format.setFontWeight(QFont::DemiBold);
    format.setFontItalic(true);
    format.setFontUnderline(true);
    format.setFontStrikeOut(true);
    format.setForeground(QColor(0x12, 0x34, 0x56));
    format.setBackground(QColor(Qt::green));
    format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    const QTextCharFormat back = CharacterProperties::OfFormat(format).format();
    EXPECT_EQ(back.fontFamilies().toStringList(), QStringList{QStringLiteral("DejaVu Sans")});
    EXPECT_EQ(back.fontPointSize(), 10.5);
    EXPECT_EQ(back.fontWeight(), QFont::Bold);
    EXPECT_TRUE(back.fontItalic() && back.fontUnderline() && back.fontStrikeOut());
    EXPECT_EQ(back.foreground().color(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(back.background().color(), QColor(Qt::green));
    EXPECT_EQ(back.verticalAlignment(), QTextCharFormat::AlignSubScript);

    // a plain format gives nothing a writer would state
    QTextCharFormat plain;
    plain.setFontWeight(QFont::Medium);
    plain.setFontPointSize(0);
    const CharacterProperties none = CharacterProperties::OfFormat(plain);
    EXPECT_FALSE(none.font || none.pointSize || none.bold || none.italic || none.underline || none.strike
                 || none.color || none.background || none.vertical);
}

TEST(ListStyleNames, WhatAWriterNamesItsReaderReadsBack)
{
    const QTextListFormat::Style numbered[] = {QTextListFormat::ListDecimal, QTextListFormat::ListLowerAlpha,
                                               QTextListFormat::ListUpperAlpha, QTextListFormat::ListLowerRoman,
                                               QTextListFormat::ListUpperRoman};
    for (const auto style : numbered) {
        for (const auto names : {std::span<const ListStyleName>(WordProcessingML::kNumberFormats),
                                 std::span<const ListStyleName>(OpenDocumentText::kNumberFormats)}) {
            const auto name = NameOfListStyle(names, style);
            ASSERT_TRUE(name);
            EXPECT_EQ(ListStyleOfName(names, *name), style) << name->toStdString();
        }
    }
    // Word's own names are written, not Word 2003's numbers; bullets have no number format
    EXPECT_EQ(NameOfListStyle(WordProcessingML::kNumberFormats, QTextListFormat::ListUpperRoman),
              QStringLiteral("upperRoman"));
    EXPECT_EQ(ListStyleOfName(WordProcessingML::kNumberFormats, QStringLiteral("3")), QTextListFormat::ListUpperAlpha);
    EXPECT_FALSE(NameOfListStyle(OpenDocumentText::kNumberFormats, QTextListFormat::ListDisc));
    EXPECT_FALSE(ListStyleOfName(OpenDocumentText::kNumberFormats, QStringLiteral("x")));
}
