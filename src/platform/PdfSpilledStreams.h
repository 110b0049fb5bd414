#pragma once

// qpdf 11 API without the PointerHolder compatibility layer.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDFObjectHandle.hh>

#include <QtGlobal>

#include <memory>

// The content streams of copied pages moved out of memory into a temporary file, each replaced by
// a stream whose data is read back from that file when the document is written. A copied page
// otherwise keeps its content bytes in memory until the write, and a document of tens of thousands
// of pages would hold its whole size there; spilled, a page costs a few dozen bytes for each of its
// content streams.
class PdfSpilledStreams {
public:
    PdfSpilledStreams();
    ~PdfSpilledStreams();
    PdfSpilledStreams(const PdfSpilledStreams&) = delete;
    PdfSpilledStreams& operator=(const PdfSpilledStreams&) = delete;

    // Moves the data of the page's content streams to the file. A stream that cannot be moved (the
    // file cannot be made or written) stays as it was: the document is the same either way.
    void spillContents(QPDFObjectHandle page);

    qint64 spilledBytes() const;

private:
    class File;
    std::shared_ptr<File> m_file; // also held by every stream spilled into it
};
