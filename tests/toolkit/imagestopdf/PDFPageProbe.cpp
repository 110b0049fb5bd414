#define POINTERHOLDER_TRANSITION 4

#include "toolkit/imagestopdf/PDFPageProbe.h"

#include <algorithm>
#include <cmath>

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

namespace PDFPageProbe {

namespace {

QRectF BoxOf(QPDFObjectHandle box)
{
    if (!box.isArray() || box.getArrayNItems() != 4)
        return {};
    const double left = box.getArrayItem(0).getNumericValue();
    const double bottom = box.getArrayItem(1).getNumericValue();
    return QRectF(left, bottom, box.getArrayItem(2).getNumericValue() - left,
                  box.getArrayItem(3).getNumericValue() - bottom);
}

// The "a 0 0 d e f cm" of the content stream.
QRectF DrawnRect(QPDFPageObjectHelper& page)
{
    const std::shared_ptr<Buffer> content = page.getObjectHandle().getKey("/Contents").getStreamData();
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char*>(content->getBuffer()), static_cast<qsizetype>(content->getSize()));
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const qsizetype cm = words.indexOf(QStringLiteral("cm"));
    if (cm < 6)
        return {};
    double m[6];
    for (int i = 0; i < 6; ++i)
        m[i] = words[cm - 6 + i].toDouble();
    // The unit square's image under the matrix.
    return QRectF(m[4] + std::min(0.0, m[0]) + std::min(0.0, m[2]), m[5] + std::min(0.0, m[1]) + std::min(0.0, m[3]),
                  std::abs(m[0]) + std::abs(m[2]), std::abs(m[1]) + std::abs(m[3]));
}

} // namespace

QList<Page> pagesOf(const QString& path)
{
    QList<Page> pages;
    try {
        QPDF pdf;
        pdf.processFile(path.toLocal8Bit().constData());
        for (QPDFPageObjectHelper& helper : QPDFPageDocumentHelper(pdf).getAllPages()) {
            Page page;
            QPDFObjectHandle object = helper.getObjectHandle();
            page.mediaBox = BoxOf(object.getKey("/MediaBox"));
            page.cropBox = object.hasKey("/CropBox") ? BoxOf(object.getKey("/CropBox")) : page.mediaBox;
            page.imageRect = DrawnRect(helper);
            for (auto& [name, image] : helper.getImages()) {
                QPDFObjectHandle dict = image.getDict();
                page.filter = QString::fromStdString(dict.getKey("/Filter").getName());
                if (dict.getKey("/ColorSpace").isName())
                    page.colorSpace = QString::fromStdString(dict.getKey("/ColorSpace").getName());
                page.imageWidth = static_cast<int>(dict.getKey("/Width").getIntValue());
                page.imageHeight = static_cast<int>(dict.getKey("/Height").getIntValue());
                page.softMask = dict.hasKey("/SMask");
                const std::shared_ptr<Buffer> raw = image.getRawStreamData();
                page.rawImage = QByteArray(reinterpret_cast<const char*>(raw->getBuffer()), static_cast<qsizetype>(raw->getSize()));
            }
            pages.append(page);
        }
    } catch (const std::exception&) {
        return {};
    }
    return pages;
}

bool qpdfCheck(const QString& path)
{
    const QString qpdf = QStandardPaths::findExecutable(QStringLiteral("qpdf"));
    if (qpdf.isEmpty())
        return true;
    return QProcess::execute(qpdf, {QStringLiteral("--check"), path}) == 0;
}

} // namespace PDFPageProbe
