#include "toolkit-flags.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

QString KebabCase(const char* camelCase)
{
    const QString name = QString::fromLatin1(camelCase);
    QString kebab;
    for (qsizetype index = 0; index < name.size(); ++index) {
        const QChar c = name.at(index);
        if (c.isUpper() && index > 0) {
            const bool afterLower = name.at(index - 1).isLower() || name.at(index - 1).isDigit();
            const bool endsCapitals = index + 1 < name.size() && name.at(index + 1).isLower()
                                      && name.at(index - 1).isUpper();
            if (afterLower || endsCapitals)
                kebab += u'-';
        }
        kebab += c.toLower();
    }
    return kebab;
}

QString ParseSigned(const QString& text, long long minimum, long long maximum, long long& value)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    if (!ok)
        return QStringLiteral("not a whole number: %1").arg(text);
    if (value < minimum || value > maximum)
        return QStringLiteral("%1 is outside %2..%3").arg(text).arg(minimum).arg(maximum);
    return {};
}

QString ParseUnsigned(const QString& text, unsigned long long maximum, unsigned long long& value)
{
    bool ok = false;
    value = text.startsWith(u'-') ? 0 : text.toULongLong(&ok);
    if (!ok)
        return QStringLiteral("not a whole number of 0 or more: %1").arg(text);
    if (value > maximum)
        return QStringLiteral("%1 is above %2").arg(text).arg(maximum);
    return {};
}

QString ParseReal(const QString& text, double& value)
{
    bool ok = false;
    const double parsed = text.toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return QStringLiteral("not a number: %1").arg(text);
    value = parsed;
    return {};
}

QString ParseColour(const QString& text, QColor& colour)
{
    const QColor parsed = QColor::fromString(text);
    if (!parsed.isValid())
        return QStringLiteral("not a colour (#rrggbb, #aarrggbb or a name): %1").arg(text);
    colour = parsed;
    return {};
}

QString ParseImage(const QString& path, std::shared_ptr<const Image>& image)
{
    const auto read = Image::fromURL(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    if (!read || !read->isValid())
        return QStringLiteral("cannot read the image %1").arg(path);
    image = read;
    return {};
}

namespace {

// --size WxH sets the size record's width and height.
Flag<ImageSizeOptions> SizeFlag()
{
    return {QStringLiteral("size"), true, [](ImageSizeOptions& size, const QString& text) {
                static const QRegularExpression pattern(QStringLiteral("^([^x]+)x([^x]+)$"));
                const QRegularExpressionMatch match = pattern.match(text);
                if (!match.hasMatch())
                    return QStringLiteral("not WIDTHxHEIGHT: %1").arg(text);
                QString error = ParseReal(match.captured(1), size.width);
                return error.isEmpty() ? ParseReal(match.captured(2), size.height) : error;
            }};
}

FlagTable<ImageSizeOptions> SizeFlags()
{
    using R = ImageSizeOptions;
    // The size record's dpi is --size-dpi: --dpi is the image record's own.
    return {SizeFlag(),
            TOOLKIT_FLAG(R, keepAspectRatio),
            TOOLKIT_FLAG(R, resize),
            TOOLKIT_FLAG(R, allowEnlarge),
            TOOLKIT_FLAG(R, sharpen),
            FieldFlag(QStringLiteral("size-dpi"), &R::dpi),
            TOOLKIT_FLAG(R, unit),
            TOOLKIT_FLAG(R, fitMode)};
}

FlagTable<TextStampOptions> TextStampFlags()
{
    using R = TextStampOptions;
    return {TOOLKIT_FLAG(R, text), TOOLKIT_FLAG(R, x),
            TOOLKIT_FLAG(R, y), TOOLKIT_FLAG(R, referenceWidth),
            TOOLKIT_FLAG(R, referenceHeight), TOOLKIT_FLAG(R, font),
            TOOLKIT_FLAG(R, fontSize), TOOLKIT_FLAG(R, drawingMode),
            TOOLKIT_FLAG(R, color), TOOLKIT_FLAG(R, strokeWidth),
            TOOLKIT_FLAG(R, alpha), TOOLKIT_FLAG(R, characterSpacing),
            TOOLKIT_FLAG(R, angle), TOOLKIT_FLAG(R, hasShadow),
            TOOLKIT_FLAG(R, shadowColor), TOOLKIT_FLAG(R, shadowBlur),
            TOOLKIT_FLAG(R, shadowOffsetX), TOOLKIT_FLAG(R, shadowOffsetY),
            TOOLKIT_FLAG(R, right), TOOLKIT_FLAG(R, top)};
}

TextStampOptions& TextPart(StampOptions& stamp)
{
    return stamp;
}

FlagTable<StampOptions> StampFlags()
{
    using R = StampOptions;
    FlagTable<R> table{TOOLKIT_FLAG(R, overlayX), TOOLKIT_FLAG(R, overlayY), TOOLKIT_FLAG(R, overlayRight),
                       TOOLKIT_FLAG(R, overlayTop), TOOLKIT_FLAG(R, overlayImage), TOOLKIT_FLAG(R, overlayAlpha),
                       TOOLKIT_FLAG(R, overlayScale)};
    AddNestedFlags<R, TextStampOptions>(table, QString(), TextPart, TextStampFlags());
    return table;
}

ImageSizeOptions& SizePart(ImageConversionOptions& options)
{
    return options.size;
}

StampOptions& StampPart(ImageConversionOptions& options)
{
    return options.stamp;
}

// The page size, margins and orientation, shared by every record that lays out its own pages.
template <typename R>
void AddPageFlags(FlagTable<R>& table)
{
    table.insert(table.end(), {TOOLKIT_FLAG(R, pageWidth), TOOLKIT_FLAG(R, pageHeight),
                               TOOLKIT_FLAG(R, leftMargin), TOOLKIT_FLAG(R, rightMargin),
                               TOOLKIT_FLAG(R, topMargin), TOOLKIT_FLAG(R, bottomMargin),
                               TOOLKIT_FLAG(R, orientation)});
}

} // namespace

FlagTable<ImageConversionOptions> ImageFlags()
{
    using R = ImageConversionOptions;
    FlagTable<R> table{TOOLKIT_FLAG(R, applySizeToPages), TOOLKIT_FLAG(R, addTextStamp),
                       TOOLKIT_FLAG(R, addOverlay), TOOLKIT_FLAG(R, numberFromFirstPage),
                       TOOLKIT_FLAG(R, replaceExisting), TOOLKIT_FLAG(R, keepImageInMemory),
                       TOOLKIT_FLAG(R, concurrent), TOOLKIT_FLAG(R, rotation),
                       TOOLKIT_FLAG(R, flip), TOOLKIT_FLAG(R, dpi),
                       TOOLKIT_FLAG(R, outputType), TOOLKIT_FLAG(R, colorModel),
                       TOOLKIT_FLAG(R, quality), TOOLKIT_FLAG(R, password),
                       TOOLKIT_FLAG(R, pageMode), TOOLKIT_FLAG(R, firstPage),
                       TOOLKIT_FLAG(R, lastPage), TOOLKIT_FLAG(R, keepMetadata),
                       TOOLKIT_FLAG(R, baseName)};
    AddNestedFlags<R, ImageSizeOptions>(table, QString(), SizePart, SizeFlags());
    AddNestedFlags<R, StampOptions>(table, QStringLiteral("stamp-"), StampPart, StampFlags());
    return table;
}

FlagTable<PDFToDocumentConversionOptions> PDFToDocumentFlags()
{
    using R = PDFToDocumentConversionOptions;
    return {TOOLKIT_FLAG(R, baseName), TOOLKIT_FLAG(R, extension), TOOLKIT_FLAG(R, password),
            TOOLKIT_FLAG(R, documentType), TOOLKIT_FLAG(R, pagePerFile), TOOLKIT_FLAG(R, firstPage),
            TOOLKIT_FLAG(R, lastPage), TOOLKIT_FLAG(R, pageMode)};
}

FlagTable<ImagesToPDFConversionOptions> ImagesToPDFFlags()
{
    using R = ImagesToPDFConversionOptions;
    FlagTable<R> table{FieldFlag(QStringLiteral("merge"), &R::mergeIntoOne), TOOLKIT_FLAG(R, keepWidth),
                       TOOLKIT_FLAG(R, keepHeight), TOOLKIT_FLAG(R, quality), TOOLKIT_FLAG(R, outputType),
                       TOOLKIT_FLAG(R, colorModel), TOOLKIT_FLAG(R, pageMode), TOOLKIT_FLAG(R, maxDPI)};
    AddPageFlags(table);
    table.push_back(TOOLKIT_FLAG(R, scalePercent));
    return table;
}

FlagTable<TextToPDFConversionOptions> TextToPDFFlags()
{
    using R = TextToPDFConversionOptions;
    FlagTable<R> table{FieldFlag(QStringLiteral("merge"), &R::mergeIntoOne),
                       TOOLKIT_FLAG(R, applyAttributesToRichText)};
    AddPageFlags(table);
    return table;
}

FlagTable<FilesToPDFConversionOptions> FilesToPDFFlags()
{
    using R = FilesToPDFConversionOptions;
    FlagTable<R> table{FieldFlag(QStringLiteral("merge"), &R::mergeIntoOne),
                       TOOLKIT_FLAG(R, applyAttributesToRichText),
                       TOOLKIT_FLAG(R, addOutlineEntries)};
    AddPageFlags(table);
    table.insert(table.end(), {TOOLKIT_FLAG(R, imageQuality), TOOLKIT_FLAG(R, imageOutputType),
                               TOOLKIT_FLAG(R, imageColorModel), TOOLKIT_FLAG(R, imagePageMode),
                               TOOLKIT_FLAG(R, maxDPI), TOOLKIT_FLAG(R, scalePercent), TOOLKIT_FLAG(R, keepWidth),
                               TOOLKIT_FLAG(R, keepHeight)});
    return table;
}
