#pragma once

#include "common/ProgressCallbackInfo.h"
#include "toolkit/options/ImageSizeOptions.h"
#include "toolkit/options/StampOptions.h"

#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <cstdint>
#include <memory>

class Image;

// The record of ConvertImage, ConvertImageWithOptions, ConvertPDFToImages and ExtractImagesFromPDF; each
// reads the fields it needs. Sizes are in points unless a unit says otherwise.
struct ImageConversionOptions {
    std::uint8_t applySizeToPages = 0;
    std::uint8_t addTextStamp = 0;
    std::uint8_t addOverlay = 0;
    std::uint8_t numberFromFirstPage = 0;
    std::int8_t replaceExisting = 0;
    std::uint8_t keepImageInMemory = 0;
    std::int8_t concurrent = 0;
    std::int64_t rotation = 0; // 0, 90, 180, 270 or their negatives
    std::uint32_t flip = 0;    // bit 0 mirror left-right, bit 1 mirror top-bottom
    std::int64_t dpi = 0;
    std::uint32_t outputType = 0; // image type code
    std::uint32_t colorModel = 0; // 0 keep, 1 RGB, 2 CMYK, 3 grey
    double quality = 0;
    QString password;
    std::uint32_t pageMode = 0; // 0 all pages, 1 the page firstPage, 2 firstPage to lastPage
    std::int64_t firstPage = 0;
    std::int64_t lastPage = 0;
    std::uint8_t keepMetadata = 0;
    ImageSizeOptions size;
    StampOptions stamp;
    ProgressCallbackInfo progress;
    QUrl sourceURL;
    QUrl destinationURL;                // image outputs: the file; PDF sources: the folder
    QString baseName;                   // empty: the source's name without extension
    QVariantMap fileAttributes;         // empty: none
    std::shared_ptr<Image> resultImage; // out: the finished image of keepImageInMemory
};
