#include "toolkit/text/OfficePackageWriting.h"

#include "toolkit/text/ZipPackage.h"

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

PackagePictures::PackagePictures(QString folder)
    : m_folder(std::move(folder))
{
}

QString PackagePictures::add(const QByteArray& png)
{
    QString name = QStringLiteral("image%1.png").arg(m_pictures.size() + 1);
    m_pictures.emplace_back(name, png);
    return name;
}

QStringList PackagePictures::paths() const
{
    QStringList paths;
    for (const auto& [name, png] : m_pictures)
        paths.append(pathOf(name));
    return paths;
}

void PackagePictures::addTo(ZipPackageWriter& package) const
{
    for (const auto& [name, png] : m_pictures)
        package.add(pathOf(name), png, true);
}

QByteArray ZipParts(std::initializer_list<PackagePart> parts, const PackagePictures& pictures, QString* error)
{
    ZipPackageWriter package;
    for (const PackagePart& part : parts)
        package.add(part.name, part.bytes, part.stored);
    pictures.addTo(package);
    return package.finish(error);
}

bool IsWrittenCharacter(QChar c)
{
    return c.unicode() >= 0x20 && !c.isNonCharacter() && c != QChar::ObjectReplacementCharacter;
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
