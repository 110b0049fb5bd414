#include "toolkit/text/PDFPageText.h"

#include "toolkit/imageio/PopplerGlobals.h"
#include "toolkit/pdf/PDFContentStreams.h"
#include "toolkit/text/TextDocumentBuilder.h"

#include <goo/GooString.h>
#include <PDFDoc.h>
#include <OutputDev.h>
#include <Page.h>
#include <TextOutputDev.h>

#include <QColor>
#include <QFont>

#include <cmath>
#include <memory>

namespace {

// "ABCDEF+Helvetica-BoldOblique" -> "Helvetica"; "TimesNewRomanPS-ItalicMT" -> "TimesNewRomanPS".
QString FamilyOfFontName(const QString& name)
{
    QString family = name;
    const qsizetype plus = family.indexOf(u'+');
    if (plus == 6)
        family = family.mid(7);
    for (qsizetype i = 1; i < family.size(); ++i) {
        if (family[i] == u'-' || family[i] == u',')
            return family.left(i);
    }
    return family;
}

QTextCharFormat WordFormat(const TextWord& word)
{
    QTextCharFormat format;
    const TextFontInfo* font = word.getFontInfo(0);
    const GooString* fontName = font ? font->getFontName() : nullptr;
    const QString name = fontName ? QString::fromLatin1(fontName->c_str()) : QString();
    const QString family = FamilyOfFontName(name);
    if (!family.isEmpty())
        format.setFontFamilies(QStringList{family});
    if ((font && font->isBold()) || name.contains(QLatin1String("Bold")) || name.contains(QLatin1String("Black"))
        || name.contains(QLatin1String("Heavy")))
        format.setFontWeight(QFont::Bold);
    if ((font && font->isItalic()) || name.contains(QLatin1String("Italic"))
        || name.contains(QLatin1String("Oblique")))
        format.setFontItalic(true);
    const double size = std::round(word.getFontSize() * 2.0) / 2.0;
    if (size > 0)
        format.setFontPointSize(size);
    double r = 0, g = 0, b = 0;
    word.getColor(&r, &g, &b);
    if (r > 0.01 || g > 0.01 || b > 0.01)
        format.setForeground(QColor::fromRgbF(static_cast<float>(std::clamp(r, 0.0, 1.0)),
                                              static_cast<float>(std::clamp(g, 0.0, 1.0)),
                                              static_cast<float>(std::clamp(b, 0.0, 1.0))));
    if (word.isUnderlined())
        format.setFontUnderline(true);
    return format;
}

// Every character the page draws, white space included: the text layout turns spaces into the
// gaps between words, so a page of spaces alone has no words at all.
class DrawnCharacters : public OutputDev {
public:
    bool upsideDown() override { return true; }
    bool useDrawChar() override { return true; }
    bool interpretType3Chars() override { return false; }
    // Patterns are passed over, as the text layout passes them over: their cells hold no page's
    // text, and cells drawn in cells multiply the work by their count at every level.
    bool needNonText() override { return false; }
    void drawChar(GfxState*, double, double, double, double, double, double, CharCode, int, const Unicode* u,
                  int uLen) override
    {
        for (int i = 0; i < uLen && text.size() < kKept; ++i)
            text += QString::fromUcs4(reinterpret_cast<const char32_t*>(&u[i]), 1);
    }

    static constexpr qsizetype kKept = 4096; // more than any page of white space alone needs
    QString text;
};

// The work one page may make the text layout do: operators run (the PDF library asks whether to
// go on every few of them, and at every form and pattern cell) and characters laid out. Forms
// that draw forms twice over double the work at every level; characters drawn over one another
// cost the layout more the more there are. A page past either bound gives the text read so far.
constexpr long kMaxPageWorkChecks = 2'000'000;
constexpr long kMaxPageCharacters = 20'000;

struct PageWork {
    long checks = 0;
    const long* characters = nullptr;

    bool exceeded() const { return checks > kMaxPageWorkChecks || (characters && *characters > kMaxPageCharacters); }
    static bool Check(void* data)
    {
        auto* work = static_cast<PageWork*>(data);
        ++work->checks;
        return work->exceeded();
    }
};

// The text layout, counting the characters it is given.
class CountingTextDevice : public TextOutputDev {
public:
    CountingTextDevice()
        : TextOutputDev(nullptr, false, 0, false, false)
    {
    }
    void drawChar(GfxState* state, double x, double y, double dx, double dy, double originX, double originY,
                  CharCode code, int bytes, const Unicode* u, int uLen) override
    {
        ++characters;
        TextOutputDev::drawChar(state, x, y, dx, dy, originX, originY, code, bytes, u, uLen);
    }

    long characters = 0;
};

struct TextPageDeleter {
    void operator()(TextPage* page) const { page->decRefCnt(); }
};

} // namespace

QString PDFPageText::plainText() const
{
    QStringList paragraphTexts;
    for (const Paragraph& paragraph : paragraphs) {
        QStringList lineTexts;
        for (const Line& line : paragraph) {
            QString text;
            for (const Run& run : line)
                text += run.text;
            lineTexts << text;
        }
        paragraphTexts << lineTexts.join(u'\n');
    }
    return paragraphTexts.join(u'\n');
}

void PDFPageText::appendTo(TextDocumentBuilder& builder) const
{
    for (const Paragraph& paragraph : paragraphs) {
        builder.startParagraph();
        for (size_t l = 0; l < paragraph.size(); ++l) {
            if (l > 0)
                builder.insertText(QString(QChar::LineSeparator),
                                   paragraph[l - 1].empty() ? QTextCharFormat() : paragraph[l - 1].back().format);
            for (const Run& run : paragraph[l])
                builder.insertText(run.text, run.format);
        }
    }
}

PDFPageText PDFPageText::Extract(PDFDoc& document, int page)
{
    EnsurePopplerGlobals();
    PDFPageText result;
    CountingTextDevice device;
    if (!device.isOk() || page < 1 || page > document.getNumPages())
        return result;
    // A few kilobytes can inflate without end: such a page is told and gives no text.
    Page* pdfPage = document.getPage(page);
    if (!pdfPage || !PDFPageContentFits(*pdfPage, kMaxPDFPageContentBytes)) {
        qWarning("Page %d: its content cannot be read within the limits; its text was not read", page);
        return result;
    }
    PageWork work{0, &device.characters};
    document.displayPage(&device, page, 72, 72, 0, true, false, false, &PageWork::Check, &work);
    if (work.exceeded())
        qWarning("Page %d: it draws more than the limits allow; its text was read only that far", page);
    const std::unique_ptr<TextPage, TextPageDeleter> text(device.takeText());
    if (!text)
        return result;
    if (!text->getFlows()) {
        // No words: what the page draws may still be characters, spaces alone.
        DrawnCharacters drawn;
        PageWork spaces;
        document.displayPage(&drawn, page, 72, 72, 0, true, false, false, &PageWork::Check, &spaces);
        if (!drawn.text.isEmpty())
            result.paragraphs.push_back({Line{Run{drawn.text, QTextCharFormat()}}});
        return result;
    }
    for (const TextFlow* flow = text->getFlows(); flow; flow = flow->getNext()) {
        for (const TextBlock* block = flow->getBlocks(); block; block = block->getNext()) {
            Paragraph paragraph;
            for (const TextLine* line = block->getLines(); line; line = line->getNext()) {
                Line runs;
                // words of one font, size, colour and underline share a format, made once
                const TextFontInfo* lastFont = nullptr;
                double lastSize = -1, lastRed = -1, lastGreen = -1, lastBlue = -1;
                bool lastUnderlined = false;
                QTextCharFormat lastFormat;
                for (const TextWord* word = line->getWords(); word; word = word->getNext()) {
                    const std::unique_ptr<GooString> wordText(word->getText());
                    QString fragmentRun = wordText ? QString::fromUtf8(wordText->c_str()) : QString();
                    if (word->getSpaceAfter() && word->getNext())
                        fragmentRun += u' ';
                    double red = 0, green = 0, blue = 0;
                    word->getColor(&red, &green, &blue);
                    if (word->getFontInfo(0) != lastFont || word->getFontSize() != lastSize || red != lastRed
                        || green != lastGreen || blue != lastBlue || word->isUnderlined() != lastUnderlined
                        || !lastFont) {
                        lastFont = word->getFontInfo(0);
                        lastSize = word->getFontSize();
                        lastRed = red;
                        lastGreen = green;
                        lastBlue = blue;
                        lastUnderlined = word->isUnderlined();
                        lastFormat = WordFormat(*word);
                    }
                    const QTextCharFormat& format = lastFormat;
                    if (!runs.empty() && runs.back().format == format)
                        runs.back().text += fragmentRun;
                    else
                        runs.push_back({fragmentRun, format});
                }
                if (!runs.empty())
                    paragraph.push_back(std::move(runs));
            }
            if (!paragraph.empty())
                result.paragraphs.push_back(std::move(paragraph));
        }
    }
    return result;
}
