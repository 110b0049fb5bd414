#pragma once

#include <QPointF>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A named element of a topic and where its text begins in the topic's text.
struct TopicAnchor {
    QString name;
    std::uint64_t offset = 0;     // bytes into TopicText::bytes()
    std::uint64_t wordOffset = 0; // where the word it prints at begins (see addAnchor)
    // From where the element's box begins to where its first printed text begins, in CSS pixels
    // (right and down): a container's padding, a banner or an empty block above its text.
    QPointF lead;
    // The element prints words of its own before its text (generated content, a list marker): the
    // words a page shows right before the text, which the text lacks, are where it begins.
    bool labelled = false;
    // The element has no box: it prints nothing, and no page holds it.
    bool boxless = false;
    // The name under which the engine's print records where the element lies, when it is not the
    // element's own (a name with blanks or letters a URL escapes).
    QString linkName;

    const QString& printedName() const { return linkName.isEmpty() ? name : linkName; }
};

// The text of a topic's page as its DOM holds it, leaf after leaf in document order, in UTF-8;
// and the page's named elements with the byte offset at which each one's text begins. The
// printed pages' words are later followed through this text to find where each offset lies.
class TopicText {
public:
    void appendText(const QString& text);
    // Text the page holds but does not print (a script, a style sheet, a hidden element): it counts
    // towards the offsets like any other, but reads as blanks, which the word matching skips as
    // it skips spaces, so that it does not lose its place on words no page shows.
    void appendUnprintedText(const QString& text);
    // Records an anchor at the current end of the text. An element that follows text in its line
    // without text of its own (an empty <a name> at a paragraph's end) prints at the end of that
    // text, not where the next text begins: its word is the last word of the text run before it.
    void addAnchor(const QString& name, bool followsText = false, QPointF lead = QPointF(), bool labelled = false);
    // What the last anchor added prints: nothing at all (no box), and the name the engine records
    // its place under (empty: its own).
    void setLastAnchorPrinting(bool boxless, const QString& linkName);

    const std::string& bytes() const { return m_bytes; }
    // Hands the text over, leaving this one empty.
    std::string takeBytes() { return std::exchange(m_bytes, std::string()); }
    const std::vector<TopicAnchor>& anchors() const { return m_anchors; }

private:
    std::string m_bytes;
    std::vector<TopicAnchor> m_anchors;
    std::uint64_t m_lastWordsRun = 0; // where the last run with any words began
};
