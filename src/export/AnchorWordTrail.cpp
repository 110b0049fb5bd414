#include "export/AnchorWordTrail.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Words that must continue the text together before the trail moves on to them, when they lie
// within a page's worth of text past it; further on, a longer run, as a short one is more likely
// to recur by chance there (a run of common words, a recurring phrase of a reference, the entries
// of an index whose columns the page shows side by side).
constexpr std::size_t kNearRunWords = 3;
constexpr std::size_t kFarRunWords = 12;
// A run this short (a few letters of a torn line) confirms nothing.
constexpr std::size_t kMinRunBytes = 8;
// Words passed over on a page that continue the text exactly where a name the trail leapt over
// begins are its words painted early when at least this many of them do (a heading's mark and
// name), or when they are long enough.
constexpr std::size_t kEarlierRunWords = 2;
// Words whose tops lie this close stand on one line (type of several sizes shares a line).
constexpr double kSameLineRise = 4.0;
// Words read in order climb no higher than this above the first of them (points): a table row's
// cells begin at its top, a few lines up at most; a heading painted first at a page's foot is
// followed by words far above it.
constexpr double kFarthestClimb = 72.0;
// How many pages' worth of text the trail may leap over: text the screen shows but print leaves
// out. Before any word has continued the text, anything before the topic's first printed word.
constexpr std::size_t kFarestLeapPages = 8;
// Words before an element's text that a page shows and the text lacks (generated content, a list
// marker): at most this many are taken for its label.
constexpr std::size_t kMaxLabelWords = 12;
// A page holds at least this much text for the windows above, however few words it shows.
constexpr std::size_t kMinPageBytes = 1024;
// Where the trail puts a word's place: this far above the word's top.
constexpr double kWordPointRaise = 2.0;
// A shadow is painted this close to its word (points, either way), and within this many words of it.
constexpr double kShadowOffset = 2.0;
constexpr std::size_t kShadowLookBackWords = 48;
// How many words painted after a short leap are searched for text that comes before its place.
constexpr std::size_t kLookAheadWords = 64;

void appendUtf8(std::string& bytes, Unicode u)
{
    if (u < 0x80) {
        bytes += static_cast<char>(u);
    } else if (u < 0x800) {
        bytes += static_cast<char>(0xC0 | (u >> 6));
        bytes += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        if (u >= 0xD800 && u < 0xE000)
            return; // a lone surrogate is no character of the text
        bytes += static_cast<char>(0xE0 | (u >> 12));
        bytes += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x110000) {
        bytes += static_cast<char>(0xF0 | (u >> 18));
        bytes += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        bytes += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (u & 0x3F));
    }
}

std::string utf8Of(const PDFCore::LocatorWord& word)
{
    std::string bytes;
    for (const Unicode u : word.chars)
        appendUtf8(bytes, u);
    return bytes;
}

// Letters and digits (any byte of a character beyond ASCII counts as one).
bool isWordCharacter(char byte)
{
    const auto c = static_cast<unsigned char>(byte);
    return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isAsciiUpper(char byte)
{
    return byte >= 'A' && byte <= 'Z';
}

bool isAsciiAlphanumeric(char byte)
{
    return static_cast<unsigned char>(byte) < 0x80 && isWordCharacter(byte);
}

// Type with a shadow (a reference's signatures) is painted twice, a hair apart, a line's piece
// after the other: the second painting of a word is no word of the text.
template <typename PageWord>
bool paintedAgain(const std::vector<PageWord>& earlier, const PageWord& word)
{
    const std::size_t first = earlier.size() - std::min(earlier.size(), kShadowLookBackWords);
    return std::any_of(earlier.begin() + static_cast<std::ptrdiff_t>(first), earlier.end(), [&](const PageWord& before) {
        return before.bytes == word.bytes && std::abs(before.word->xMin - word.word->xMin) < kShadowOffset
               && std::abs(before.word->yMin - word.word->yMin) < kShadowOffset;
    });
}

std::string_view boundedText(std::string_view text)
{
    constexpr auto maxLength = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    return text.substr(0, std::min(text.size(), maxLength));
}

} // namespace

AnchorWordTrail::AnchorWordTrail(std::string_view text, std::span<TextOffsetRecord> records,
                                 std::span<const std::uint8_t> labelled)
    : m_text(boundedText(text))
    , m_records(records)
    , m_labelled(labelled)
{
}

bool AnchorWordTrail::beginsAWord(std::size_t offset) const
{
    if (offset == 0 || offset >= m_text.size())
        return true;
    const char before = m_text[offset - 1];
    const char first = m_text[offset];
    if (!isAsciiAlphanumeric(first) && first != '_')
        return true;
    // A page breaks no line inside a name ("adapts<T>::type", "object.field", "obj_name", a
    // word); but blocks whose texts meet without a blank ("endHeading") begin words there.
    if (before == ':' || before == '_')
        return false;
    if (before == '.')
        return isAsciiUpper(first);
    if (isAsciiAlphanumeric(before))
        return isAsciiUpper(first) && !isAsciiUpper(before);
    return true;
}

bool AnchorWordTrail::continuesAt(std::int32_t& offset, const std::string& bytes) const
{
    PDFCore::skipTextWhitespace(m_text, offset);
    return !bytes.empty() && m_text.substr(static_cast<std::size_t>(offset)).starts_with(bytes);
}

std::size_t AnchorWordTrail::runLengthAt(const std::vector<PageWord>& words, std::size_t first, std::size_t most,
                                         std::int32_t offset) const
{
    std::size_t length = 0;
    for (; length < most; ++length) {
        const std::string& bytes = words[first + length].bytes;
        if (!continuesAt(offset, bytes))
            break;
        offset += static_cast<std::int32_t>(bytes.size());
    }
    return length;
}

std::size_t AnchorWordTrail::runBehind(const std::vector<PageWord>& words, std::size_t first, std::size_t window,
                                       std::size_t most) const
{
    const std::string& bytes = words[first].bytes;
    const std::size_t longest = std::min(most, words.size() - first);
    const auto trail = static_cast<std::size_t>(m_offset);
    std::size_t behind = 0;
    for (std::size_t at = trail; at > 0 && trail - at < window && behind < longest && !bytes.empty();) {
        const std::size_t found = m_text.rfind(bytes, at - 1);
        if (found == std::string_view::npos || trail - found > window)
            break;
        if (beginsAWord(found))
            behind = std::max(behind, runLengthAt(words, first, longest, static_cast<std::int32_t>(found)));
        at = found;
    }
    return behind;
}

std::int32_t AnchorWordTrail::findFurtherOn(const std::vector<PageWord>& words, const std::vector<std::size_t>& passed,
                                            std::size_t first,
                                            std::size_t pageBytes, std::size_t& behind) const
{
    behind = 0;
    const std::string& bytes = words[first].bytes;
    const std::size_t left = words.size() - first;
    const auto runBytes = [&](std::size_t count) {
        std::size_t total = 0;
        for (std::size_t i = first; i < first + count; ++i)
            total += words[i].bytes.size();
        return total;
    };
    const std::size_t nearCount = std::min(kNearRunWords, left);
    // A long leap is taken on a long run only, however few words the page has left: the last words
    // of a page (a code example's prompts) recur pages further on as often as anywhere. Before the
    // text has begun, a page that shows a few words only may begin it.
    const std::size_t farCount = m_started ? kFarRunWords : std::min(kFarRunWords, left);
    const std::size_t longest = std::min(kLongestRunWords, left);
    if (bytes.empty() || runBytes(nearCount) < kMinRunBytes)
        return -1;
    const auto trail = static_cast<std::size_t>(m_offset);

    // Where the words would continue the text both behind and further on (code boxes alike, a
    // recurring phrase), the place where more of them continue it wins; behind, on a tie.
    behind = runBehind(words, first, pageBytes);
    const std::size_t farest = m_started ? kFarestLeapPages * pageBytes : m_text.size();
    const std::size_t end = trail + std::min(m_text.size() - trail, farest);
    for (std::size_t at = trail + 1; at < end;) {
        const std::size_t found = m_text.find(bytes, at);
        if (found == std::string_view::npos || found >= end)
            break;
        const bool near = found - trail <= pageBytes && m_started;
        const std::size_t count = near ? nearCount : farCount;
        const std::size_t run = beginsAWord(found) ? runLengthAt(words, first, longest, static_cast<std::int32_t>(found)) : 0;
        // Far away, only words read in order count (a heading painted first at a page's foot,
        // followed by the page's first line, reads like the text of any overload whose
        // parameters begin alike), and they must read on further there than anywhere as far
        // behind: overloads repeat their signatures.
        const std::size_t trusted = near ? run : wordsNotAbove(words, first, run);
        if (trusted >= count && runBytes(count) >= kMinRunBytes && readsOnFurther(words, first, found, near ? pageBytes : farest, run, near ? behind : runBehind(words, first, farest))) {
            // Words that lead a little further may be a floated heading, painted first: the text
            // before it comes after it on the page. Only the heading's own line tells; the line
            // after it may read on like the next overload's by chance. Once the page's text has
            // gone on (other headings painted first may have led it), only a line standing alone
            // is taken for one, and only when that text stands above it.
            const std::size_t line = wordsInLine(words, first, run);
            constexpr double kAnywhere = std::numeric_limits<double>::max();
            const double above = !m_followedOnPage ? kAnywhere
                                 : line == run     ? words[first].word->yMin - kSameLineRise
                                                   : -kAnywhere;
            if (near && paintedAhead(words, first + line, std::max(line, kNearRunWords), found, above))
                return -1;
            // The page's last few words, after others, prove little: the text they pass over (a
            // heading, the label of a row) may be painted on the next page, and a destination in
            // it goes there; unless they are the text's last words.
            if (near && first > 0 && first + run == words.size() && run < kFarRunWords && passesARecord(found)
                && !endsTheText(words, first, found) && !paintedAlready(words, passed, found))
                return -1;
            return static_cast<std::int32_t>(found);
        }
        at = found + 1;
    }
    return -1;
}

bool AnchorWordTrail::readsOnFurther(const std::vector<PageWord>& words, std::size_t first, std::size_t found,
                                     std::size_t window, std::size_t run, std::size_t behind) const
{
    // Overloads repeat their long signatures word for word: where both places read on as far as
    // runs are compared, they are compared further.
    const std::size_t longest = std::min(kLongestRunWords, words.size() - first);
    if (run < longest || behind < longest)
        return run > behind;
    const std::size_t most = std::min(kLookAheadWords, words.size() - first);
    return runLengthAt(words, first, most, static_cast<std::int32_t>(found)) > runBehind(words, first, window, most);
}

bool AnchorWordTrail::endsTheText(const std::vector<PageWord>& words, std::size_t first, std::size_t found) const
{
    auto offset = static_cast<std::int32_t>(found);
    for (std::size_t i = first; i < words.size() && continuesAt(offset, words[i].bytes); ++i)
        offset += static_cast<std::int32_t>(words[i].bytes.size());
    PDFCore::skipTextWhitespace(m_text, offset);
    return static_cast<std::size_t>(offset) >= m_text.size();
}

bool AnchorWordTrail::paintedAlready(const std::vector<PageWord>& words, const std::vector<std::size_t>& passed,
                                     std::size_t found) const
{
    const std::string_view skipped = std::string_view(m_text).substr(static_cast<std::size_t>(m_offset),
                                                                     found - static_cast<std::size_t>(m_offset));
    bool any = false;
    for (std::size_t at = 0; at < skipped.size();) {
        const std::size_t end = std::min(skipped.find_first_of(" \t\r\n", at), skipped.size());
        if (end > at) {
            const std::string_view word = skipped.substr(at, end - at);
            if (std::none_of(passed.begin(), passed.end(), [&](std::size_t i) { return words[i].bytes == word; }))
                return false;
            any = true;
        }
        at = end + 1;
    }
    return any;
}

bool AnchorWordTrail::passesARecord(std::size_t found) const
{
    return m_recordIndex < m_records.size() && m_records[m_recordIndex].charOffset < found;
}

bool AnchorWordTrail::confirmedAt(const std::vector<PageWord>& words, std::size_t index, std::int32_t offset) const
{
    std::int32_t wordEnd = offset;
    for (std::int32_t blanksEnd = wordEnd; static_cast<std::size_t>(wordEnd) < m_text.size(); blanksEnd = ++wordEnd) {
        PDFCore::skipTextWhitespace(m_text, blanksEnd);
        if (blanksEnd != wordEnd)
            break;
    }
    const std::string& bytes = words[index].bytes;
    const std::size_t length = bytes.size();
    const auto end = static_cast<std::size_t>(offset) + length;
    const bool endsInsideAWord = end < m_text.size() && isWordCharacter(bytes.back()) && isWordCharacter(m_text[end]);
    if (!endsInsideAWord || 2 * length >= static_cast<std::size_t>(wordEnd - offset))
        return true;
    if (index + 1 >= words.size())
        return false;
    std::int32_t next = offset + static_cast<std::int32_t>(length);
    return continuesAt(next, words[index + 1].bytes);
}

std::size_t AnchorWordTrail::wordsNotAbove(const std::vector<PageWord>& words, std::size_t first, std::size_t run)
{
    std::size_t count = 0;
    while (count < run && words[first + count].word->yMin > words[first].word->yMin - kFarthestClimb)
        ++count;
    return count;
}

std::size_t AnchorWordTrail::wordsInLine(const std::vector<PageWord>& words, std::size_t first, std::size_t run)
{
    std::size_t count = 1;
    while (count < run && words[first + count].word->xMin > words[first + count - 1].word->xMin
           && std::abs(words[first + count].word->yMin - words[first].word->yMin) < kSameLineRise)
        ++count;
    return std::min(count, run);
}

bool AnchorWordTrail::lineGoesOnAfter(const std::vector<PageWord>& words, std::size_t first, std::size_t run)
{
    const std::size_t after = first + run;
    return run > 0 && after < words.size() && words[after].word->xMin > words[after - 1].word->xMin
           && std::abs(words[after].word->yMin - words[first].word->yMin) < kSameLineRise;
}

bool AnchorWordTrail::paintedAhead(const std::vector<PageWord>& words, std::size_t after, std::size_t run,
                                   std::size_t found, double above) const
{
    const auto trail = static_cast<std::size_t>(m_offset);
    const std::size_t last = std::min(words.size(), after + kLookAheadWords);
    for (std::size_t j = after; j < last; ++j) {
        const std::string& bytes = words[j].bytes;
        const std::size_t longest = std::min(kLongestRunWords, words.size() - j);
        if (bytes.empty() || longest < run || words[j].word->yMin >= above)
            continue;
        for (std::size_t at = trail; at < found;) {
            const std::size_t nearer = m_text.find(bytes, at);
            if (nearer == std::string_view::npos || nearer >= found)
                break;
            if (beginsAWord(nearer) && runLengthAt(words, j, longest, static_cast<std::int32_t>(nearer)) >= run)
                return true;
            at = nearer + 1;
        }
    }
    return false;
}

const PDFCore::LocatorWord* AnchorWordTrail::paintedEarlier(const std::vector<PageWord>& words,
                                                            const std::vector<std::size_t>& passed, std::int32_t offset,
                                                            double highest, double lowest) const
{
    const PDFCore::LocatorWord* found = nullptr;
    for (const std::size_t index : passed) {
        const PDFCore::LocatorWord& first = *words[index].word;
        if (first.yMin < highest || first.yMin > lowest || (found && first.yMin <= found->yMin))
            continue;
        const std::size_t longest = std::min(kLongestRunWords, words.size() - index);
        const std::size_t run = runLengthAt(words, index, longest, offset);
        std::size_t bytes = 0;
        for (std::size_t i = index; i < index + run; ++i)
            bytes += words[i].bytes.size();
        // The whole line must continue the text: headings of overloads read alike but for a
        // number at their end.
        if (!lineGoesOnAfter(words, index, run) && (run >= kEarlierRunWords || (run > 0 && bytes >= kMinRunBytes)))
            found = &first;
    }
    return found;
}

void AnchorWordTrail::locateAt(const std::vector<PageWord>& words, std::size_t word, std::size_t label,
                               const std::vector<std::size_t>& passed)
{
    for (; m_recordIndex < m_records.size(); ++m_recordIndex) {
        TextOffsetRecord& record = m_records[m_recordIndex];
        if (record.charOffset > static_cast<std::uint32_t>(m_offset))
            return;
        const bool labelled = m_recordIndex < m_labelled.size() && m_labelled[m_recordIndex] != 0;
        const PDFCore::LocatorWord* at = words[labelled ? label : word].word;
        // Words the trail leapt over may have been painted before the text around them: a floated
        // heading comes first on its page, before the text it stands in, or is left at the foot of
        // the page before while what it heads goes on to the next.
        // On this page it stands above the word the trail goes on at, or in its line; on the page
        // before, below all the text that went on there.
        std::int32_t found = 1;
        if (record.charOffset < static_cast<std::uint32_t>(m_offset)) {
            const auto offset = static_cast<std::int32_t>(record.charOffset);
            constexpr double kAnywhere = std::numeric_limits<double>::max();
            const double leap = words[word].word->yMin + kSameLineRise;
            if (const PDFCore::LocatorWord* early = paintedEarlier(words, passed, offset, -kAnywhere, leap)) {
                at = early;
            } else if (const PDFCore::LocatorWord* before = paintedEarlier(m_pageBefore, m_passedBefore, offset,
                                                                           m_followedFootBefore + kSameLineRise, kAnywhere)) {
                at = before;
                found = kFoundOnPageBefore;
            }
        }
        record.x = at->xMin;
        record.y = at->yMin - kWordPointRaise;
        record.found = found;
    }
}

void AnchorWordTrail::followPage(std::span<const PDFCore::LocatorWord> words, std::size_t stray)
{
    std::vector<PageWord> pageWords;
    pageWords.reserve(words.size());
    std::size_t pageBytes = 0;
    std::size_t keptStray = 0;
    for (std::size_t i = 0; i < words.size(); ++i) {
        PageWord word{utf8Of(words[i]), &words[i]};
        if (paintedAgain(pageWords, word))
            continue;
        keptStray += i < stray ? 1 : 0;
        pageBytes += word.bytes.size() + 1;
        pageWords.push_back(std::move(word));
    }
    pageBytes = std::max(pageBytes, kMinPageBytes);
    stray = keptStray;

    m_followedOnPage = false;
    bool passedOver = false;         // the word before was passed over
    std::vector<std::size_t> passed; // every word passed over
    double followedFoot = 0.0;       // the top of the lowest word that continued the text
    for (std::size_t i = 0; i < std::min(stray, pageWords.size()); ++i)
        passed.push_back(i);
    // The first of the words just passed over that the text lacks; none when it equals the page size.
    std::size_t labelStart = pageWords.size();
    for (std::size_t i = std::min(stray, pageWords.size()); i < pageWords.size(); ++i) {
        const PageWord& word = pageWords[i];
        std::int32_t at = m_offset;
        bool continues = continuesAt(at, word.bytes) && confirmedAt(pageWords, i, at);
        // Before the page's text has gone on, a floated heading painted first may read like the
        // one the trail stands at but for the end of its short line (an overload's number).
        if (continues && m_started && !m_followedOnPage) {
            const std::size_t run = runLengthAt(pageWords, i, std::min(kEarlierRunWords + 1, pageWords.size() - i), at);
            continues = run > kEarlierRunWords || !lineGoesOnAfter(pageWords, i, run);
        }
        // Inside a block painted after what follows it, a word may continue the text at the
        // trail by chance (the "filesys" of a code line before "filesys.open()"): the block's
        // words continue it further behind.
        if (continues && passedOver) {
            const std::size_t longest = std::min(kLongestRunWords, pageWords.size() - i);
            continues = runLengthAt(pageWords, i, longest, at) >= runBehind(pageWords, i, pageBytes);
        }
        // Words the text lacks right before a word that continues it are the label of an element
        // that prints one (generated content before its text, a list marker): it begins there.
        std::size_t placeWord = i;
        if (!continues) {
            std::size_t behind = 0;
            at = findFurtherOn(pageWords, passed, i, pageBytes, behind);
            if (at < 0) {
                passedOver = true;
                passed.push_back(i);
                if (behind > 0)
                    labelStart = pageWords.size();
                else if (labelStart == pageWords.size())
                    labelStart = i;
                continue;
            }
        } else if (labelStart < i && i - labelStart <= kMaxLabelWords) {
            placeWord = labelStart;
        }
        labelStart = pageWords.size();
        passedOver = false;
        m_offset = at;
        m_started = true;
        m_followedOnPage = true;
        locateAt(pageWords, i, placeWord, passed);
        followedFoot = std::max(followedFoot, word.word->yMin);
        m_offset += static_cast<std::int32_t>(std::min(word.bytes.size(), m_text.size() - static_cast<std::size_t>(at)));
    }
    m_followedFootBefore = followedFoot;
    m_pageBeforeWords.clear();
    for (const PageWord& word : pageWords)
        m_pageBeforeWords.push_back(*word.word);
    m_pageBefore = std::move(pageWords);
    for (std::size_t i = 0; i < m_pageBefore.size(); ++i)
        m_pageBefore[i].word = &m_pageBeforeWords[i];
    m_passedBefore = std::move(passed);
}
