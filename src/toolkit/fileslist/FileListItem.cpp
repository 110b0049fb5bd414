#include "toolkit/fileslist/FileListItem.h"

#include "toolkit/html/HTMLToPDF.h"
#include "toolkit/imagestopdf/ImageToPDFConverter.h"
#include "toolkit/texttopdf/TextToPDFConverter.h"

#include <QFileInfo>

namespace {

constexpr int kLargestAngle = 270;

} // namespace

namespace FileListItem {

QUrl file(const ConversionListItem& item)
{
    return ConversionListItemFile(item);
}

std::uint32_t type(const ConversionListItem& item)
{
    bool isNumber = false;
    const qlonglong value = item.value(ConversionListKey::FileType).toLongLong(&isNumber);
    return isNumber && value > 0 && value <= ConversionFileType::HTMLFile ? static_cast<std::uint32_t>(value) : 0;
}

QString password(const ConversionListItem& item)
{
    return item.value(ConversionListKey::Password).toString();
}

int angle(const ConversionListItem& item)
{
    bool isNumber = false;
    const int value = item.value(ConversionListKey::Angle).toInt(&isNumber);
    return isNumber && value >= -kLargestAngle && value <= kLargestAngle ? value : 0;
}

QString label(const ConversionListItem& item)
{
    return QFileInfo(file(item).path()).completeBaseName();
}

void setUp(ImageToPDFConverter& converter, const FilesToPDFConversionOptions& options)
{
    converter.SetConversionParameters(options.orientation, static_cast<std::uint8_t>(options.keepWidth),
                                      static_cast<std::uint8_t>(options.keepHeight), options.imageOutputType,
                                      options.imageColorModel, options.imagePageMode, options.scalePercent,
                                      options.maxDPI, options.pdfWriteOptions, options.pageWidth, options.pageHeight,
                                      options.leftMargin, options.rightMargin, options.topMargin,
                                      options.bottomMargin, options.imageQuality);
    converter.SetListProgressCallback(options.progress.object, options.progress.selector);
}

void setUp(TextToPDFConverter& converter, const FilesToPDFConversionOptions& options, bool mergeMode)
{
    converter.SetConversionParameters(options.orientation, options.pdfWriteOptions, options.textAttributes,
                                      options.applyAttributesToRichText != 0, options.pageWidth, options.pageHeight,
                                      options.leftMargin, options.rightMargin, options.topMargin,
                                      options.bottomMargin);
    converter.SetProgressCallback(options.progress);
    converter.SetMergeMode(mergeMode);
}

void setUp(HTMLToPDF& converter, const FilesToPDFConversionOptions& options, bool mergeMode)
{
    converter.Init(options.pageWidth, options.pageHeight, options.leftMargin, options.rightMargin,
                   options.topMargin, options.bottomMargin, options.orientation,
                   mergeMode ? QVariantMap() : options.pdfWriteOptions);
    converter.SetSaveAsSinglePDF(mergeMode);
    converter.SetProgressCallbackInfo(options.progress);
}

bool isCancelled(const FilesToPDFConversionOptions& options)
{
    return options.progress.object != nullptr && options.progress.object->isConversionCancelled();
}

} // namespace FileListItem
