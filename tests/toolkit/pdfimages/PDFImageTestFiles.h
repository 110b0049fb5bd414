#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

// Encoders for the filters a test image goes through on its way into a PDF.
namespace TestFilters {
QByteArray Flate(const QByteArray& bytes);
QByteArray ASCIIHex(const QByteArray& bytes);
QByteArray ASCII85(const QByteArray& bytes);
QByteArray RunLength(const QByteArray& bytes);
QByteArray LZW(const QByteArray& bytes);
// Packed 8-bit gray (1) or RGB (3) pixels.
QByteArray JPEG(const QByteArray& pixels, int width, int height, int components);
// A raw JPEG 2000 codestream of packed 8-bit RGB pixels, lossless.
QByteArray JPEG2000(const QByteArray& pixels, int width, int height);
// Group 4 fax data of 1-bit rows (1 = black as the fax sees it).
QByteArray CCITTGroup4(const QByteArray& rows, int width, int height);
// JBIG2 data as a PDF embeds it: one segment (no segments referred to, page 1); a page-information
// segment declaring a page of width x height, followed by other segments; an immediate generic region
// of width x height, MMR-coded.
QByteArray JBIG2Segment(quint32 number, int type, const QByteArray& data);
QByteArray JBIG2Page(quint32 width, quint32 height, const QByteArray& after = {});
QByteArray JBIG2GenericRegion(quint32 number, quint32 width, quint32 height);
} // namespace TestFilters

// An image XObject or a form as the test writes it: the dictionary's entries in PDF syntax and the
// stream's bytes as stored (already encoded for the filters the entries name).
struct TestXObject {
    QByteArray name;
    QByteArray entries;
    QByteArray bytes;
    // Further objects the dictionary refers to as @1, @2...: each becomes an indirect object; @self
    // is the object itself.
    std::vector<TestXObject> referenced = {};
};

struct TestPage {
    std::vector<TestXObject> xobjects;
    QByteArray content = "q Q";
    // Entries of the page's /ColorSpace resource dictionary, in PDF syntax.
    QByteArray colorSpaces = {};
    QByteArray mediaBox = "[0 0 200 200]";
    // Further page entries in PDF syntax, e.g. "/Rotate 90".
    QByteArray pageEntries = {};
};

// Writes the pages with qpdf.
// With an owner password, the file is encrypted and opens without a user password.
void WriteTestPDF(const QString& path, const std::vector<TestPage>& pages, const QByteArray& ownerPassword = {});

// Bytes from numbers, for samples.
QByteArray Bytes(std::initializer_list<int> values);
