#include "toolkit-samples.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

namespace {

bool WritePicture(const QString& path)
{
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 640, 480);
    gradient.setColorAt(0, QColor(30, 90, 160));
    gradient.setColorAt(1, QColor(240, 200, 80));
    painter.fillRect(image.rect(), gradient);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(320, 240), 120, 90);
    painter.end();
    const int dotsPerMetre = qRound(150 / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image.save(path, "PNG");
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
            painter.drawText(60, 60 + 20 * line,
                             QStringLiteral("Page %1, line %2: a sentence for the text converters to find.")
                                 .arg(page)
                                 .arg(line + 1));
    }
    return painter.end();
}

} // namespace

bool WriteToolkitSamples(const QString& folder)
{
    const QDir target(folder);
    return QDir().mkpath(folder) && WritePicture(target.filePath(QStringLiteral("picture.png")))
           && WriteDocument(target.filePath(QStringLiteral("document.pdf")));
}
