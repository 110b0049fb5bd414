#pragma once

#include <QByteArray>
#include <QTemporaryFile>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <vector>

// Records of equal size kept by output page in a temporary file, a block at a time, until the
// document is written: what a large document must remember of every page's links would otherwise
// grow with it in memory. The newest records wait in memory until they fill a block; a page costs
// a few bytes of bookkeeping besides. A page read back and changed is written again in its place.
// When the file cannot be made or written, the records stay in memory: they read the same.
class PdfSpilledRecords {
public:
    static constexpr qsizetype kBlockBytes = 256 * 1024;

    explicit PdfSpilledRecords(qsizetype recordSize, qsizetype blockBytes = kBlockBytes);
    PdfSpilledRecords(const PdfSpilledRecords&) = delete;
    PdfSpilledRecords& operator=(const PdfSpilledRecords&) = delete;

    // The page's records, a whole number of them; a page set again gets these in place of its old
    // ones. False, changing nothing, for a negative page or a size that is no whole number of records.
    bool setPage(int page, const QByteArray& records);
    // Records of the page; 0 for a page never set.
    int count(int page) const;
    // The page's records as they were set; empty for a page never set or one that cannot be read.
    QByteArray page(int page) const;

    // One more than the last page set.
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    // Bytes moved to the file so far.
    qint64 spilledBytes() const { return m_fileBytes; }

private:
    struct Span {
        qint64 offset = 0; // in the file's bytes followed by m_pending
        std::uint32_t count = 0;
    };

    void appendPending(const QByteArray& records, Span& span);
    bool overwrite(const Span& span, const QByteArray& records);
    // Moves the pending block to the file, unless the file failed before.
    void spillPending();

    const qsizetype m_recordSize;
    const qsizetype m_blockBytes;
    std::vector<Span> m_pages;
    QByteArray m_pending;
    qint64 m_fileBytes = 0;
    bool m_fileFailed = false;
    mutable QTemporaryFile m_file; // reading moves its position, not what it holds
};
