#pragma once

#include <QString>

#include <cstdint>

typedef struct tiff TIFF;

// The colour model of a page's pixels as written to TIFF.
enum class TIFFPageModel {
    RGB,
    Gray,
    CMYK
};

// A TIFF file of several pages, written under a temporary name beside its target: commit() puts it in
// place once every page is in; otherwise (a failed page, a cancelled run) the file is closed and removed
// when this goes, and no half-written TIFF is left under the finished name.
class MultiPageTIFFFile {
public:
    // Without replaceExisting, a file that appears at the target meanwhile is kept and commit() fails.
    MultiPageTIFFFile(QString targetPath, bool replaceExisting);
    ~MultiPageTIFFFile();
    MultiPageTIFFFile(const MultiPageTIFFFile&) = delete;
    MultiPageTIFFFile& operator=(const MultiPageTIFFFile&) = delete;

    bool isOpen() const { return m_tiff != nullptr; }
    TIFF* handle() const { return m_tiff; }
    bool commit();

private:
    QString m_target;
    QString m_temporary;
    bool m_replaceExisting = false;
    TIFF* m_tiff = nullptr;
};

// One page: rows of width × samples bytes (3 RGB, 1 gray, 4 CMYK), LZW-compressed, with its resolution
// and its page number (index of count). False when libtiff refuses a row or the directory.
bool WriteTIFFPage(double dpiX, double dpiY, TIFF* tiff, int width, int height, const unsigned char* pixels,
                   int bytesPerRow, TIFFPageModel model, int index, int count);
