#include "toolkit/text/TextDocumentWalk.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

namespace TextDocumentWalk {

namespace {

template <typename Iterator>
std::vector<TextFlowItem> CollectItems(Iterator it)
{
    std::vector<TextFlowItem> items;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(frame)) {
                // the placeholder block in front of a table that opens the flow
                if (items.size() == 1 && items.front().block.isValid() && items.front().block.length() <= 1
                    && !items.front().block.textList())
                    items.clear();
                items.push_back({QTextBlock(), table});
            } else {
                auto inner = CollectItems(frame->begin());
                items.insert(items.end(), inner.begin(), inner.end());
            }
        } else if (it.currentBlock().isValid()) {
            items.push_back({it.currentBlock(), nullptr});
        }
    }
    return items;
}

} // namespace

std::vector<TextFlowItem> FrameItems(QTextFrame* frame)
{
    return CollectItems(frame->begin());
}

std::vector<TextFlowItem> CellItems(const QTextTableCell& cell)
{
    return CollectItems(cell.begin());
}

std::vector<TextRun> BlockRuns(const QTextBlock& block)
{
    std::vector<TextRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const QTextCharFormat format = fragment.charFormat();
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            // adjacent pictures of one format share a fragment: one object character each
            for (int i = 0; i < fragment.length(); ++i) {
                TextRun run;
                run.format = format;
                run.isImage = true;
                run.imageName = image.name();
                run.imageSize = QSizeF(image.width(), image.height());
                runs.push_back(run);
            }
        } else {
            runs.push_back({fragment.text(), format, false, {}, {}});
        }
    }
    return runs;
}

QByteArray ImagePNG(const QTextDocument& document, const QString& name, QSize* pixelSize)
{
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    if (resource.canConvert<QImage>() && resource.typeId() == QMetaType::QImage)
        image = resource.value<QImage>();
    else if (resource.typeId() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else if (resource.typeId() == QMetaType::QByteArray)
        image.loadFromData(resource.toByteArray());
    if (image.isNull())
        return {};
    if (pixelSize)
        *pixelSize = image.size();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return bytes;
}

bool IsCellOrigin(const QTextTableCell& cell, int row, int column)
{
    return cell.isValid() && cell.row() == row && cell.column() == column;
}

QString FontFamily(const QTextCharFormat& format)
{
    if (!format.hasProperty(QTextFormat::FontFamilies))
        return {};
    return format.fontFamilies().toStringList().value(0);
}

} // namespace TextDocumentWalk
