#include "export/TopicText.h"

void TopicText::appendText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    m_bytes.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void TopicText::appendUnprintedText(const QString& text)
{
    m_bytes.append(static_cast<std::size_t>(text.toUtf8().size()), ' ');
}

void TopicText::addAnchor(const QString& name)
{
    m_anchors.push_back({name, m_bytes.size()});
}
