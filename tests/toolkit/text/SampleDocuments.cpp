#include "SampleDocuments.h"

#include "toolkit/text/TextDocumentWalk.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cmath>

namespace SampleDocuments {

namespace {

QTextCharFormat Plain()
{
    return {};
}

void InsertRun(QTextCursor& cursor, const QString& text, const std::function<void(QTextCharFormat&)>& style)
{
    QTextCharFormat format;
    style(format);
    cursor.insertText(text, format);
}

QString ListName(const QTextList* list)
{
    if (!list)
        return {};
    const auto style = list->format().style();
    const bool numbered = style == QTextListFormat::ListDecimal || style == QTextListFormat::ListLowerAlpha
                          || style == QTextListFormat::ListUpperAlpha || style == QTextListFormat::ListLowerRoman
                          || style == QTextListFormat::ListUpperRoman;
    return QStringLiteral(" list=%1/%2").arg(numbered ? QStringLiteral("numbered") : QStringLiteral("bullet")).arg(list->format().indent());
}

QString RunDescription(const QTextCharFormat& format, const DescribeOptions& options)
{
    QStringList parts;
    if (format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold)
        parts << QStringLiteral("b");
    if (format.fontItalic())
        parts << QStringLiteral("i");
    if (format.fontUnderline())
        parts << QStringLiteral("u");
    if (format.fontStrikeOut())
        parts << QStringLiteral("s");
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().color() != QColor(Qt::black))
        parts << format.foreground().color().name();
    if (options.fonts) {
        const QString family = TextDocumentWalk::FontFamily(format);
        if (!family.isEmpty())
            parts << family;
        if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
            parts << QString::number(format.fontPointSize()) + QStringLiteral("pt");
    }
    return parts.join(u',');
}

void DescribeFlow(const std::vector<TextFlowItem>& items, const DescribeOptions& options, const QString& indent,
                  const QTextDocument& document, QStringList& lines)
{
    for (const TextFlowItem& item : items) {
        if (item.table) {
            lines << indent + QStringLiteral("table %1x%2").arg(item.table->rows()).arg(item.table->columns());
            for (int r = 0; r < item.table->rows(); ++r) {
                for (int c = 0; c < item.table->columns(); ++c) {
                    const QTextTableCell cell = item.table->cellAt(r, c);
                    if (!TextDocumentWalk::IsCellOrigin(cell, r, c))
                        continue;
                    QString line = indent + QStringLiteral(" cell %1,%2").arg(r).arg(c);
                    if (options.columnSpans && cell.columnSpan() > 1)
                        line += QStringLiteral(" span=%1").arg(cell.columnSpan());
                    if (cell.rowSpan() > 1)
                        line += QStringLiteral(" rows=%1").arg(cell.rowSpan());
                    lines << line;
                    DescribeFlow(TextDocumentWalk::CellItems(cell), options, indent + QStringLiteral("  "), document,
                                 lines);
                }
            }
            continue;
        }
        const QTextBlockFormat block = item.block.blockFormat();
        QString line = indent + QStringLiteral("P");
        if (block.headingLevel() > 0)
            line += QStringLiteral(" h%1").arg(block.headingLevel());
        if (block.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            line += QStringLiteral(" pagebreak");
        line += ListName(item.block.textList());
        QString lastStyle;
        QString text;
        auto flush = [&] {
            if (!text.isEmpty())
                line += QStringLiteral(" [%1|%2]").arg(text, lastStyle);
            text.clear();
        };
        for (const auto& run : TextDocumentWalk::BlockRuns(item.block)) {
            if (run.isImage) {
                flush();
                if (options.images) {
                    QSize pixels;
                    TextDocumentWalk::ImagePNG(document, run.imageName, &pixels);
                    line += QStringLiteral(" <image %1x%2px %3x%4pt>")
                                .arg(pixels.width())
                                .arg(pixels.height())
                                .arg(std::lround(run.imageSize.width()))
                                .arg(std::lround(run.imageSize.height()));
                }
                continue;
            }
            const QString style = RunDescription(run.format, options);
            if (style != lastStyle)
                flush();
            lastStyle = style;
            text += run.text;
        }
        flush();
        lines << line;
    }
}

} // namespace

void BuildRich(QTextDocument& document)
{
    document.clear();
    QTextCursor cursor(&document);
    QTextBlockFormat heading;
    heading.setHeadingLevel(1);
    cursor.setBlockFormat(heading);
    InsertRun(cursor, QStringLiteral("Annual Report"), [](QTextCharFormat& f) {
        f.setFontWeight(QFont::Bold);
        f.setFontPointSize(20);
    });

    cursor.insertBlock(QTextBlockFormat(), Plain());
    cursor.insertText(QStringLiteral("Plain start, "), Plain());
    InsertRun(cursor, QStringLiteral("bold"), [](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); });
    cursor.insertText(QStringLiteral(" and "), Plain());
    InsertRun(cursor, QStringLiteral("italic"), [](QTextCharFormat& f) { f.setFontItalic(true); });
    cursor.insertText(QStringLiteral(", "), Plain());
    InsertRun(cursor, QStringLiteral("underlined"), [](QTextCharFormat& f) { f.setFontUnderline(true); });
    cursor.insertText(QStringLiteral(", "), Plain());
    InsertRun(cursor, QStringLiteral("red"), [](QTextCharFormat& f) { f.setForeground(QColor(200, 0, 0)); });
    cursor.insertText(QStringLiteral(" and "), Plain());
    InsertRun(cursor, QStringLiteral("serif 14"), [](QTextCharFormat& f) {
        f.setFontFamilies({QStringLiteral("DejaVu Serif")});
        f.setFontPointSize(14);
    });
    cursor.insertText(QStringLiteral("."), Plain());

    cursor.insertBlock(QTextBlockFormat(), Plain());
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    bullets.setIndent(1);
    cursor.createList(bullets);
    cursor.insertText(QStringLiteral("First point"), Plain());
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("Second point"), Plain());

    QTextBlockFormat plainBlock;
    cursor.insertBlock(plainBlock, Plain());
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    numbers.setIndent(1);
    cursor.createList(numbers);
    cursor.insertText(QStringLiteral("Step one"), Plain());
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("Step two"), Plain());

    cursor.insertBlock(plainBlock, Plain());
    cursor.setBlockFormat(plainBlock);
    if (cursor.currentList())
        cursor.currentList()->remove(cursor.block());
    cursor.insertText(QStringLiteral("Table follows:"), Plain());
    QTextTable* table = cursor.insertTable(3, 3);
    const QStringList cells = {QStringLiteral("Name"), QStringLiteral("Qty"), QStringLiteral("Note"),
                               QStringLiteral("Apple"), QStringLiteral("3"), QStringLiteral("fresh"),
                               QStringLiteral("Wide cell")};
    for (int i = 0; i < 6; ++i)
        table->cellAt(i / 3, i % 3).firstCursorPosition().insertText(cells[i]);
    table->mergeCells(2, 0, 1, 2);
    table->cellAt(2, 0).firstCursorPosition().insertText(cells[6]);
    table->cellAt(2, 2).firstCursorPosition().insertText(QStringLiteral("end"));

    cursor.setPosition(table->lastPosition() + 1);
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    QPainter(&image).fillRect(0, 0, 4, 6, QColor(255, 0, 0));
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("sample:image")), image);
    QTextImageFormat imageFormat;
    imageFormat.setName(QStringLiteral("sample:image"));
    imageFormat.setWidth(48);
    imageFormat.setHeight(36);
    cursor.insertText(QStringLiteral("Picture: "), Plain());
    cursor.insertImage(imageFormat);

    cursor.insertBlock(plainBlock, Plain());
    cursor.insertText(QStringLiteral("Привет мир, 日本語のテキスト, ελληνικά, עברית"), Plain());

    QTextBlockFormat broken;
    broken.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(broken, Plain());
    cursor.insertText(QStringLiteral("After the break"), Plain());
}

void BuildNested(QTextDocument& document, bool tableInCell)
{
    document.clear();
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("Outline"), Plain());
    QTextListFormat outer;
    outer.setStyle(QTextListFormat::ListDecimal);
    outer.setIndent(1);
    QTextListFormat inner;
    inner.setStyle(QTextListFormat::ListDisc);
    inner.setIndent(2);
    cursor.insertBlock();
    QTextList* outerList = cursor.createList(outer);
    cursor.insertText(QStringLiteral("One"), Plain());
    cursor.insertBlock();
    QTextList* innerList = cursor.createList(inner);
    cursor.insertText(QStringLiteral("One a"), Plain());
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("One b"), Plain());
    cursor.insertBlock();
    innerList->remove(cursor.block());
    outerList->add(cursor.block());
    cursor.insertText(QStringLiteral("Two"), Plain());

    cursor.insertBlock(QTextBlockFormat(), Plain());
    if (QTextList* list = cursor.currentList())
        list->remove(cursor.block());
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.insertText(QStringLiteral("Spans:"), Plain());
    QTextTable* table = cursor.insertTable(3, 2);
    table->mergeCells(0, 0, 2, 1);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("tall"));
    table->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("right 1"));
    table->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("right 2"));
    table->cellAt(2, 0).firstCursorPosition().insertText(QStringLiteral("left 3"));
    QTextCursor last = table->cellAt(2, 1).firstCursorPosition();
    last.insertText(QStringLiteral("right 3"));
    if (tableInCell) {
        QTextTable* inside = last.insertTable(1, 2);
        inside->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("in A"));
        inside->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("in B"));
    }
    cursor.setPosition(table->lastPosition() + 1);
    cursor.insertText(QStringLiteral("End"), Plain());
}

QStringList Describe(const QTextDocument& document, const DescribeOptions& options)
{
    QStringList lines;
    DescribeFlow(TextDocumentWalk::FrameItems(document.rootFrame()), options, {}, document, lines);
    // a trailing empty paragraph is QTextDocument's own after a final table
    while (!lines.isEmpty() && lines.last() == QLatin1String("P"))
        lines.removeLast();
    return lines;
}

} // namespace SampleDocuments
