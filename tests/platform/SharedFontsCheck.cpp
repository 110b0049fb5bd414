#include "SharedFontsCheck.h"

#include "support/PdfReadBack.h"
#include "PrintedFontFiles.h"
#include "platform/PdfDocument.h"

#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>

#include <QProcess>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <cstdlib>

namespace SharedFontsCheck {

QByteArray copiedPages(const std::vector<QByteArray>& printed, bool shareFonts)
{
    std::unique_ptr<PdfDocument> output = PdfDocument::create();
    if (shareFonts)
        output->shareFontsOfCopiedPages();
    for (const QByteArray& bytes : printed) {
        const std::unique_ptr<PdfDocument> source = PdfDocument::open(bytes);
        EXPECT_TRUE(source);
        for (int index = 0; source && index < source->pageCount(); ++index)
            EXPECT_TRUE(output->appendPageCopy(*source, index));
    }
    return output->toBytes();
}

std::map<std::string, int> programsByFace(const QByteArray& pdf)
{
    QPDF document;
    document.processMemoryFile("checked", pdf.constData(), static_cast<size_t>(pdf.size()));
    std::map<std::string, int> programs;
    for (QPDFObjectHandle object : document.getAllObjects()) {
        if (!object.isDictionary() || !object.getKey("/Type").isNameAndEquals("/FontDescriptor")
            || !object.getKey("/FontFile2").isStream())
            continue;
        std::string name = object.getKey("/FontName").getName().substr(1);
        if (name.size() > 7 && name[6] == '+')
            name = name.substr(7);
        ++programs[name];
    }
    return programs;
}

void expectSameReading(const QByteArray& expected, const QByteArray& actual)
{
    ASSERT_EQ(PdfReadBack::pageCount(expected), PdfReadBack::pageCount(actual));
    EXPECT_EQ(PdfReadBack::pageTexts(expected), PdfReadBack::pageTexts(actual));
    for (int page = 0; page < PdfReadBack::pageCount(expected); ++page) {
        const RenderedPage before = renderAt72Dpi(expected, page);
        const RenderedPage after = renderAt72Dpi(actual, page);
        ASSERT_EQ(before.width, after.width);
        ASSERT_EQ(before.height, after.height);
        ASSERT_EQ(before.rgb.size(), after.rgb.size());
        ASSERT_GT(before.rgb.size(), 0);
        // Anti-aliasing may shade a glyph's edge pixels a little differently; a different glyph
        // or a moved one changes many pixels by a lot.
        int differing = 0;
        int largest = 0;
        for (qsizetype i = 0; i < before.rgb.size(); ++i) {
            const int difference = std::abs(static_cast<uint8_t>(before.rgb[i]) - static_cast<uint8_t>(after.rgb[i]));
            differing += difference > 0 ? 1 : 0;
            largest = std::max(largest, difference);
        }
        EXPECT_LE(largest, 64) << "page " << page;
        EXPECT_LE(differing, before.rgb.size() / 200) << "page " << page;
    }
}

QString qpdfCheckProblems(const QByteArray& pdf)
{
    QTemporaryFile file;
    if (!file.open())
        return QStringLiteral("no temporary file");
    file.write(pdf);
    file.flush();
    QProcess qpdf;
    qpdf.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), file.fileName()});
    if (!qpdf.waitForFinished(120000))
        return QStringLiteral("qpdf --check did not finish");
    const QString output = QString::fromUtf8(qpdf.readAllStandardOutput() + qpdf.readAllStandardError());
    return qpdf.exitCode() == 0 && output.contains(QLatin1String("No syntax or stream encoding errors")) ? QString() : output;
}

} // namespace SharedFontsCheck
