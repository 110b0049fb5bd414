#include "toolkit/pdfpages/MultiPageTIFFFile.h"

#include "common/FileReplacement.h"
#include "common/TemporaryFileNames.h"

#include <QFile>
#include <QUrl>

#include <tiffio.h>

#include <fcntl.h>
#include <unistd.h>

MultiPageTIFFFile::MultiPageTIFFFile(QString targetPath, bool replaceExisting)
    : m_target(std::move(targetPath))
    , m_temporary(WBQUtil::GetTemporaryURLAppropriateForURL(QUrl::fromLocalFile(m_target)).toLocalFile())
    , m_replaceExisting(replaceExisting)
{
    if (m_temporary.isEmpty())
        return;
    // A fresh name, created here and nowhere else: no file of the user's is ever written into.
    const QByteArray path = QFile::encodeName(m_temporary);
    const int descriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return;
    m_tiff = TIFFFdOpen(descriptor, path.constData(), "w");
    if (!m_tiff) {
        ::close(descriptor);
        QFile::remove(m_temporary);
    }
}

MultiPageTIFFFile::~MultiPageTIFFFile()
{
    if (m_tiff) {
        TIFFClose(m_tiff);
        QFile::remove(m_temporary);
    }
}

bool MultiPageTIFFFile::commit()
{
    if (!m_tiff)
        return false;
    TIFFClose(m_tiff);
    m_tiff = nullptr;
    // Replacing goes in one step, so an earlier file at the target stays when the new one cannot be
    // put in place; without replacing, a rename never goes over an existing file.
    const bool placed = m_replaceExisting
                            ? WBQUtil::ReplaceFileAtURL(QUrl::fromLocalFile(m_temporary), QUrl::fromLocalFile(m_target))
                            : QFile::rename(m_temporary, m_target);
    if (placed)
        return true;
    QFile::remove(m_temporary);
    return false;
}

bool WriteTIFFPage(double dpiX, double dpiY, TIFF* tiff, int width, int height, const unsigned char* pixels,
                   int bytesPerRow, TIFFPageModel model, int index, int count)
{
    const int samples = model == TIFFPageModel::CMYK ? 4 : model == TIFFPageModel::Gray ? 1
                                                                                        : 3;
    const int photometric = model == TIFFPageModel::CMYK   ? PHOTOMETRIC_SEPARATED
                            : model == TIFFPageModel::Gray ? PHOTOMETRIC_MINISBLACK
                                                           : PHOTOMETRIC_RGB;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, float(dpiX));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, float(dpiY));
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tiff, TIFFTAG_PAGENUMBER, uint16_t(index), uint16_t(count));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    for (int row = 0; row < height; ++row) {
        // libtiff takes a non-const row although it does not change it.
        auto* line = const_cast<unsigned char*>(pixels + qsizetype(row) * bytesPerRow);
        if (TIFFWriteScanline(tiff, line, uint32_t(row), 0) < 0)
            return false;
    }
    return TIFFWriteDirectory(tiff) != 0;
}
