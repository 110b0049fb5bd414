#include "toolkit/text/OfficePackageWriting.h"

#include <QXmlStreamWriter>

namespace OfficePackageWriting {

QByteArray XmlPart(const std::function<void(QXmlStreamWriter&)>& write, Standalone standalone)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    if (standalone == Standalone::Yes)
        xml.writeStartDocument(QStringLiteral("1.0"), true);
    else
        xml.writeStartDocument();
    write(xml);
    xml.writeEndDocument();
    return bytes;
}

std::optional<RunPicture> PictureOfRun(const QTextDocument& document, const TextDocumentWalk::TextRun& run)
{
    QSize pixels;
    QByteArray png = TextDocumentWalk::ImagePNG(document, run.imageName, &pixels);
    if (png.isEmpty())
        return std::nullopt;
    const double width = run.imageSize.width() > 0 ? run.imageSize.width() : pixels.width();
    const double height = run.imageSize.height() > 0 ? run.imageSize.height() : pixels.height();
    return RunPicture{std::move(png), width, height};
}

void WriteLinkedRuns(QXmlStreamWriter& xml, const QTextBlock& block,
                     const std::function<void(const QString& href)>& openLink,
                     const std::function<void(const TextDocumentWalk::TextRun& run)>& writeRun)
{
    QString currentLink;
    for (const auto& run : TextDocumentWalk::BlockRuns(block)) {
        const QString href = run.format.isAnchor() ? run.format.anchorHref() : QString();
        if (href != currentLink) {
            if (!currentLink.isEmpty())
                xml.writeEndElement();
            currentLink = href;
            if (!href.isEmpty())
                openLink(href);
        }
        writeRun(run);
    }
    if (!currentLink.isEmpty())
        xml.writeEndElement();
}

int ListNumbers::number(const QTextList* list)
{
    qsizetype index = m_lists.indexOf(list);
    if (index < 0) {
        m_lists.append(list);
        index = m_lists.size() - 1;
    }
    return static_cast<int>(index) + 1;
}

} // namespace OfficePackageWriting
