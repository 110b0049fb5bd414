#pragma once

#include "platform/PdfLink.h"

#include <QString>

#include <optional>
#include <vector>

// One entry of a document outline: a label, the place it opens (none: a plain label) and the
// entries beneath it, in order. The root of an outline is an entry without a label that is
// never shown itself.
class PdfOutline {
public:
    PdfOutline() = default;
    explicit PdfOutline(QString label) : m_label(std::move(label)) { }

    const QString& label() const { return m_label; }
    const std::optional<PdfDestination>& destination() const { return m_destination; }
    void setDestination(const PdfDestination& destination) { m_destination = destination; }

    const std::vector<PdfOutline>& children() const { return m_children; }
    // Appends the entry as the last child; the reference stays valid until the next append here.
    PdfOutline& appendChild(PdfOutline child)
    {
        m_children.push_back(std::move(child));
        return m_children.back();
    }
    // Entries beneath this one at every depth.
    int descendantCount() const
    {
        int count = 0;
        for (const PdfOutline& child : m_children)
            count += 1 + child.descendantCount();
        return count;
    }

private:
    QString m_label;
    std::optional<PdfDestination> m_destination;
    std::vector<PdfOutline> m_children;
};
