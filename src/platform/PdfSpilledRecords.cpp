#include "platform/PdfSpilledRecords.h"

#include <algorithm>
#include <limits>

PdfSpilledRecords::PdfSpilledRecords(qsizetype recordSize, qsizetype blockBytes)
    : m_recordSize(std::max<qsizetype>(recordSize, 1))
    , m_blockBytes(blockBytes)
{
}

bool PdfSpilledRecords::setPage(int page, const QByteArray& records)
{
    const qsizetype count = records.size() / m_recordSize;
    if (page < 0 || records.size() % m_recordSize != 0 || count > std::numeric_limits<std::uint32_t>::max())
        return false;
    if (m_pages.size() <= static_cast<std::size_t>(page))
        m_pages.resize(static_cast<std::size_t>(page) + 1);
    Span& span = m_pages[static_cast<std::size_t>(page)];
    // Changed records of the same page fit where they were; others start anew, the old ones left
    // unread in the file.
    if (span.count == static_cast<std::uint32_t>(count) && count > 0 && overwrite(span, records))
        return true;
    span = Span{};
    if (count > 0)
        appendPending(records, span);
    return true;
}

int PdfSpilledRecords::count(int page) const
{
    if (page < 0 || static_cast<std::size_t>(page) >= m_pages.size())
        return 0;
    return static_cast<int>(m_pages[static_cast<std::size_t>(page)].count);
}

QByteArray PdfSpilledRecords::page(int page) const
{
    if (page < 0 || static_cast<std::size_t>(page) >= m_pages.size())
        return {};
    const Span& span = m_pages[static_cast<std::size_t>(page)];
    const qsizetype length = static_cast<qsizetype>(span.count) * m_recordSize;
    if (length == 0)
        return {};
    if (span.offset >= m_fileBytes)
        return m_pending.mid(static_cast<qsizetype>(span.offset - m_fileBytes), length);
    if (!m_file.seek(span.offset))
        return {};
    QByteArray records = m_file.read(length);
    return records.size() == length ? records : QByteArray();
}

void PdfSpilledRecords::appendPending(const QByteArray& records, Span& span)
{
    span.offset = m_fileBytes + m_pending.size();
    span.count = static_cast<std::uint32_t>(records.size() / m_recordSize);
    m_pending += records;
    if (m_pending.size() >= m_blockBytes)
        spillPending();
}

bool PdfSpilledRecords::overwrite(const Span& span, const QByteArray& records)
{
    if (span.offset >= m_fileBytes) {
        m_pending.replace(static_cast<qsizetype>(span.offset - m_fileBytes), records.size(), records);
        return true;
    }
    return m_file.seek(span.offset) && m_file.write(records) == records.size();
}

void PdfSpilledRecords::spillPending()
{
    if (m_fileFailed)
        return;
    if (!m_file.isOpen() && !m_file.open()) {
        m_fileFailed = true;
        return;
    }
    // A block written in part stays where it was: the file's size says what follows is pending.
    if (!m_file.seek(m_fileBytes) || m_file.write(m_pending) != m_pending.size()) {
        m_fileFailed = true;
        m_file.resize(m_fileBytes);
        return;
    }
    m_fileBytes += m_pending.size();
    m_pending.clear();
}
