#include "toolkit-samples.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

namespace {

// A gradient with an ellipse; the shade varies the colours so that the album's pictures differ.
QImage Picture(int shade)
{
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 640, 480);
    gradient.setColorAt(0, QColor(30 + shade, 90, 160));
    gradient.setColorAt(1, QColor(240, 200 - shade, 80));
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(320, 240), 120 - shade / 2, 90);
    painter.end();
    const int dotsPerMetre = qRound(150 / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

bool WritePicture(const QString& path)
{
    return Picture(0).save(path, "PNG");
}

QString SampleLine(int page, int line)
{
    return QStringLiteral("Page %1, line %2: a sentence for the text converters to find.").arg(page).arg(line);
}

bool WriteDocument(const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    for (int page = 1; page <= 3; ++page) {
        if (page > 1)
            writer.newPage();
        for (int line = 0; line < 30; ++line)
            painter.drawText(60, 60 + 20 * line, SampleLine(page, line + 1));
    }
    return painter.end();
}

// Four pages, each with one picture drawn into it, for the extractors to find.
bool WriteAlbum(const QString& path)
{
    QPdfWriter writer(path);
    writer.setResolution(72);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int page = 0; page < 4; ++page) {
        if (page > 0)
            writer.newPage();
        painter.drawImage(QRectF(50, 50, 480, 360), Picture(page * 40));
    }
    return painter.end();
}

bool WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size()
           && file.flush();
}

// Five hundred lines of plain text, so that the text converters lay out several pages.
bool WriteText(const QString& path)
{
    QByteArray text;
    for (int page = 1; page <= 10; ++page) {
        for (int line = 1; line <= 50; ++line)
            text += SampleLine(page, line).toUtf8() + '\n';
    }
    return WriteFile(path, text);
}

// Styled RTF: a bold heading, italic and coloured runs, a font table, paragraphs over several pages.
bool WriteRichText(const QString& path)
{
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Helvetica;}}"
                     "{\\colortbl;\\red200\\green30\\blue30;}\n"
                     "{\\f1\\fs36\\b A letter for the converters\\par}\n";
    for (int paragraph = 1; paragraph <= 60; ++paragraph) {
        rtf += "\\fs24 Paragraph " + QByteArray::number(paragraph)
               + ": {\\i some italic words}, {\\cf1 a red phrase}, {\\b a bold one} and plain text to fill the "
                 "line and wrap onto the next one.\\par\n";
    }
    rtf += "}\n";
    return WriteFile(path, rtf);
}

} // namespace

bool WriteToolkitSamples(const QString& folder)
{
    const QDir target(folder);
    return QDir().mkpath(folder) && WritePicture(target.filePath(QStringLiteral("picture.png")))
           && WriteDocument(target.filePath(QStringLiteral("document.pdf")))
           && WriteAlbum(target.filePath(QStringLiteral("album.pdf")))
           && WriteText(target.filePath(QStringLiteral("notes.txt")))
           && WriteRichText(target.filePath(QStringLiteral("letter.rtf")));
}
