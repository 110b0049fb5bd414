#pragma once

#include "export/pdfcore/TextOffsetLocator.h"
#include "export/pdfcore/TextOffsetRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Follows a topic's printed words, page after page, through the topic's text, and locates the
// text offsets that destinations begin at on the words that print them.
//
// The printed words and the text do not go word for word alike: a page shows words its text lacks
// (a bar repeated on every page, list markers, generated labels, the torn half of a line that runs
// over the page's foot and is shown again whole at the top of the next), leaves out text it holds
// (content only the screen shows), and paints some blocks after others (a positioned code box
// comes last on its page). So a word that does not continue the text where the trail stands is
// taken for the text further on only when the words after it continue from there too; otherwise
// it is passed over and the trail stays where it was. A page breaks no word inside a name, so
// the trail never leaps to the middle of one. Floated headings come first on their page: a line
// that would lead the trail a little further while the words painted after it continue the text
// before that place is passed over, and so, before any text of a page has gone on, is a short
// line that reads like the text at the trail but for its end. Type painted twice with a shadow is
// read once. A leap far ahead is taken only on words read in order, and the page's last few words
// never leap over a destination's text: that text may be painted on the next page. A place is
// never taken from a word that was passed over: an offset is located at the first word that
// continues the text at or past it.
// Only an element that prints words of its own before its text (generated content, a list marker)
// begins at the words the page shows right before that word which the text lacks, its label.
class AnchorWordTrail {
public:
    // `text` and `records` (ascending offsets) must outlive the trail; so must `labelled`, which
    // tells for each record whether its element prints a label (none when it is empty).
    AnchorWordTrail(std::string_view text, std::span<TextOffsetRecord> records,
                    std::span<const std::uint8_t> labelled = {});

    // Follows one page's words in the order the page paints them; the first `stray` words are not
    // followed (a table header repeated above the text that goes on), but may be where a name
    // the trail leaps over was painted.
    void followPage(std::span<const PDFCore::LocatorWord> words, std::size_t stray = 0);

    // How far into the text the words have been followed.
    std::int32_t reached() const { return m_offset; }

    // Runs of words are compared up to this many words.
    static constexpr std::size_t kLongestRunWords = 16;

    // The found flag of a record located on the page before the one being followed: a heading the
    // engine left at the foot of a page while the text it heads went on to the next.
    static constexpr std::int32_t kFoundOnPageBefore = 2;

private:
    struct PageWord {
        std::string bytes;
        const PDFCore::LocatorWord* word = nullptr;
    };

    // Whether a printed word may begin at `offset` of the text: never inside a name.
    bool beginsAWord(std::size_t offset) const;
    bool continuesAt(std::int32_t& offset, const std::string& bytes) const;
    // Where, past the trail, the page's words from `first` on continue the text, if they do
    // far enough to be trusted.
    // `behind` tells how many of them continue the text behind the trail; `passed` lists the page's
    // words passed over so far.
    std::int32_t findFurtherOn(const std::vector<PageWord>& words, const std::vector<std::size_t>& passed,
                               std::size_t first, std::size_t pageBytes,
                               std::size_t& behind) const;
    // Whether the page's words from `first` on continue the text at `found` to its end.
    bool endsTheText(const std::vector<PageWord>& words, std::size_t first, std::size_t found) const;
    // Whether every word of the text between the trail and `found` is among the words of this page
    // passed over (`passed`): painted already, before its turn (a floated link), it is not text that
    // the next page prints.
    bool paintedAlready(const std::vector<PageWord>& words, const std::vector<std::size_t>& passed,
                        std::size_t found) const;
    // Whether a record not yet located begins before `found`.
    bool passesARecord(std::size_t found) const;
    // Whether the page's words from `after` on (a few dozen of them; only those whose top lies
    // above `above`, points down the page) continue the text between the trail and `found` for at
    // least `run` words: the words that would take the trail to `found` were painted ahead of
    // their turn, and the trail waits for the text that comes before them.
    bool paintedAhead(const std::vector<PageWord>& words, std::size_t after, std::size_t run, std::size_t found,
                      double above) const;
    // How many of the `run` words from `first` on come before the first that stands far above it.
    static std::size_t wordsNotAbove(const std::vector<PageWord>& words, std::size_t first, std::size_t run);
    // How many of the `run` words from `first` on stand in its line.
    static std::size_t wordsInLine(const std::vector<PageWord>& words, std::size_t first, std::size_t run);
    // Whether the line of word `first` goes on, right after the `run` words from it, with a word
    // that does not continue them.
    static bool lineGoesOnAfter(const std::vector<PageWord>& words, std::size_t first, std::size_t run);
    // A word that stops inside a word of the text, short of half of it (a letter or two of a torn
    // line), continues the text only with the page's next word continuing right after it.
    bool confirmedAt(const std::vector<PageWord>& words, std::size_t index, std::int32_t offset) const;
    // The longest run (of at most `most` words) of the page's words from `first` on that continues
    // the text within `window` bytes behind the trail (a page's worth: words already followed,
    // shown again (the whole line whose torn half ended the page before), or painted after what
    // follows them (a positioned box)).
    std::size_t runBehind(const std::vector<PageWord>& words, std::size_t first, std::size_t window,
                          std::size_t most = kLongestRunWords) const;
    // Whether the page's words from `first` on continue the text at `found` further than they
    // continue it within `window` bytes behind the trail, given `run` and `behind`, those runs as
    // far as runs are compared.
    bool readsOnFurther(const std::vector<PageWord>& words, std::size_t first, std::size_t found, std::size_t window,
                        std::size_t run, std::size_t behind) const;
    // How many of the page's words from `first` on (at most `most`) continue the text from `offset`.
    std::size_t runLengthAt(const std::vector<PageWord>& words, std::size_t first, std::size_t most,
                            std::int32_t offset) const;
    // Locates the records the trail has reached at page word `word`, or at `label` those that print
    // one; a record whose words the trail leapt over at a word painted earlier on the page (`passed`
    // lists the words passed over) that begins them, or at one passed over on the page before.
    void locateAt(const std::vector<PageWord>& words, std::size_t word, std::size_t label,
                  const std::vector<std::size_t>& passed);
    // Of the passed-over words from which the page's words continue the text at `offset` far
    // enough to be trusted, the lowest one whose top lies between `highest` and `lowest` (points
    // down the page); none when no such word is there.
    const PDFCore::LocatorWord* paintedEarlier(const std::vector<PageWord>& words, const std::vector<std::size_t>& passed,
                                               std::int32_t offset, double highest, double lowest) const;

    std::string_view m_text;
    std::span<TextOffsetRecord> m_records;
    std::span<const std::uint8_t> m_labelled;
    std::int32_t m_offset = 0;
    std::size_t m_recordIndex = 0;
    bool m_started = false;        // a word has continued the text
    bool m_followedOnPage = false; // a word of the page being followed has
    // The words of the page followed last, and which of them were passed over.
    std::vector<PDFCore::LocatorWord> m_pageBeforeWords;
    std::vector<PageWord> m_pageBefore;
    std::vector<std::size_t> m_passedBefore;
    double m_followedFootBefore = 0.0; // the top of its lowest word that continued the text
};
