#include "export/TopicText.h"

namespace {

// The blanks the word matching skips: tab, line feed, carriage return, space, no-break space.
bool isBlankByte(char byte)
{
    return byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ';
}

// Whether a blank ends right before `offset`, and how many bytes it takes.
int blankBefore(const std::string& text, std::uint64_t offset)
{
    if (offset >= 1 && isBlankByte(text[offset - 1]))
        return 1;
    if (offset >= 2 && text.compare(offset - 2, 2, "\xC2\xA0") == 0)
        return 2;
    return 0;
}

bool hasWords(const QString& text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return true;
    }
    return false;
}

} // namespace

void TopicText::appendText(const QString& text)
{
    if (hasWords(text))
        m_lastWordsRun = m_bytes.size();
    const QByteArray utf8 = text.toUtf8();
    m_bytes.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void TopicText::appendUnprintedText(const QString& text)
{
    m_bytes.append(static_cast<std::size_t>(text.toUtf8().size()), ' ');
}

void TopicText::addAnchor(const QString& name, bool followsText, QPointF lead, bool labelled)
{
    const std::uint64_t offset = m_bytes.size();
    std::uint64_t wordOffset = offset;
    if (followsText) {
        // Back over the blanks, then to the start of the word, never before the start of its run
        // (the runs of neighbouring blocks may meet without a blank between them).
        while (const int blank = blankBefore(m_bytes, wordOffset))
            wordOffset -= static_cast<std::uint64_t>(blank);
        while (wordOffset > m_lastWordsRun && blankBefore(m_bytes, wordOffset) == 0)
            --wordOffset;
    }
    m_anchors.push_back({name, offset, wordOffset, lead, labelled, false, QString()});
}

void TopicText::setLastAnchorPrinting(bool boxless, const QString& linkName)
{
    if (m_anchors.empty())
        return;
    m_anchors.back().boxless = boxless;
    m_anchors.back().linkName = linkName;
}
