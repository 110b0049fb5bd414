#include "toolkit/text/RTFParser.h"

#include "toolkit/text/TextReadLimits.h"

#include <algorithm>

namespace RTFReaderDetail {

bool RTFParser::characterControl(std::string_view word, bool has, int value)
{
    CharState& chars = top().chars;
    const bool on = !has || value != 0;
    if (word == "plain") {
        chars = CharState{.href = chars.href};
        top().fontCodepage = 0;
    } else if (word == "f") {
        if (top().destination == Destination::FontTable) {
            m_currentFont = value;
            m_fonts[value] = Font{};
        } else {
            chars.font = value;
            const auto it = m_fonts.find(value);
            top().fontCodepage = it == m_fonts.end() ? 0 : it->second.codepage;
        }
    } else if (word == "fcharset") {
        if (top().destination == Destination::FontTable && m_currentFont >= 0)
            m_fonts[m_currentFont].codepage = CharsetCodepage(value);
    } else if (word == "cpg") {
        if (top().destination == Destination::FontTable && m_currentFont >= 0)
            m_fonts[m_currentFont].codepage = value;
    } else if (word == "fs") {
        chars.halfPoints = std::clamp(value, 0, 3276);
    } else if (word == "b") {
        chars.bold = on;
    } else if (word == "i") {
        chars.italic = on;
    } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" || word == "uldash"
               || word == "ulth" || word == "ulwave" || word == "uldashd" || word == "ulhair") {
        chars.underline = on;
    } else if (word == "ulnone") {
        chars.underline = false;
    } else if (word == "strike" || word == "striked") {
        chars.strike = on;
    } else if (word == "cf") {
        chars.color = value;
    } else if (word == "cb" || word == "highlight" || word == "chcbpat") {
        chars.background = value;
    } else if (word == "super") {
        chars.vertical = 1;
    } else if (word == "sub") {
        chars.vertical = 2;
    } else if (word == "nosupersub") {
        chars.vertical = 0;
    } else {
        return false;
    }
    return true;
}

bool RTFParser::paragraphControl(std::string_view word, bool has, int value)
{
    ParagraphState& paragraph = top().paragraph;
    if (word == "pard") {
        paragraph = ParagraphState{};
    } else if (word == "par") {
        endParagraph();
    } else if (word == "page") {
        endParagraph();
        m_builder.breakPageBeforeNextParagraph();
    } else if (word == "pagebb") {
        paragraph.pageBreakBefore = !has || value != 0;
    } else if (word == "ql") {
        paragraph.alignment = 0;
    } else if (word == "qc") {
        paragraph.alignment = 1;
    } else if (word == "qr") {
        paragraph.alignment = 2;
    } else if (word == "qj") {
        paragraph.alignment = 3;
    } else if (word == "li") {
        paragraph.leftIndent = std::clamp(value, -31680, 31680);
    } else if (word == "ri") {
        paragraph.rightIndent = std::clamp(value, -31680, 31680);
    } else if (word == "fi") {
        paragraph.firstIndent = std::clamp(value, -31680, 31680);
    } else if (word == "sb") {
        paragraph.spaceBefore = std::clamp(value, 0, 31680);
    } else if (word == "sa") {
        paragraph.spaceAfter = std::clamp(value, 0, 31680);
    } else if (word == "s") {
        if (top().destination == Destination::StyleSheet) {
            m_currentStyle = value;
            m_currentStyleOutline = -1;
        } else {
            paragraph.style = value;
        }
    } else if (word == "outlinelevel") {
        if (top().destination == Destination::StyleSheet)
            m_currentStyleOutline = value;
        else
            paragraph.outlineLevel = value;
    } else if (word == "ls") {
        if (top().destination == Destination::ListOverrideTable)
            m_overrides[value] = m_currentOverrideList;
        else
            paragraph.listOverride = value;
    } else if (word == "ilvl") {
        paragraph.listLevel = value;
    } else {
        return false;
    }
    return true;
}

bool RTFParser::tableControl(std::string_view word, int value)
{
    (void)value;
    if (word == "intbl") {
        top().paragraph.inTable = true;
    } else if (word == "cell") {
        endCell();
    } else if (word == "row") {
        endRow();
    } else if (word == "trowd") {
        m_rowCells.clear();
        m_nextCell = {};
    } else if (word == "clmgf") {
        m_nextCell.mergeFirst = true;
    } else if (word == "clmrg") {
        m_nextCell.mergeContinued = true;
    } else if (word == "clvmrg") {
        m_nextCell.mergeAbove = true;
    } else if (word == "cellx") {
        m_nextCell.right = value;
        if (m_rowCells.size() < static_cast<size_t>(TextReadLimits::kMaxTableColumns))
            m_rowCells.push_back(m_nextCell);
        m_nextCell = {};
    } else if (word == "nestcell" || word == "nestrow") {
        // tables inside tables keep their text as paragraphs of the cell
        endParagraph();
    } else {
        return false;
    }
    return true;
}

bool RTFParser::listControl(std::string_view word, int value)
{
    const Destination destination = top().destination;
    if (destination == Destination::ListTable) {
        if (word == "list") {
            m_currentListLevels.clear();
            m_currentListId = 0;
        } else if (word == "listlevel") {
            m_currentListLevels.push_back(23);
        } else if (word == "levelnfc" || word == "levelnfcn") {
            if (!m_currentListLevels.empty())
                m_currentListLevels.back() = value;
        } else if (word == "listid") {
            m_currentListId = value;
            m_listLevels[value] = m_currentListLevels;
        } else {
            return false;
        }
        return true;
    }
    if (destination == Destination::ListOverrideTable) {
        if (word == "listid") {
            m_currentOverrideList = value;
            return true;
        }
        return false;
    }
    if (destination == Destination::OldListNumbering) {
        if (word == "pnlvlblt")
            top().paragraph.oldListKind = 1;
        else if (word == "pnlvlbody" || word == "pndec")
            top().paragraph.oldListKind = 2;
        else
            return false;
        // the numbering belongs to the paragraph around the \pn group
        if (m_groups.size() >= 2)
            m_groups[m_groups.size() - 2].paragraph.oldListKind = top().paragraph.oldListKind;
        return true;
    }
    return false;
}

void RTFParser::pictureControl(std::string_view word, int value)
{
    if (m_pictures.empty())
        return;
    PictureData& picture = m_pictures.back();
    if (word == "pngblip" || word == "jpegblip")
        picture.known = true;
    else if (word == "emfblip" || word == "wmetafile" || word == "macpict" || word == "dibitmap"
             || word == "wbitmap" || word == "pmmetafile")
        picture.known = false;
    else if (word == "picw")
        picture.widthPixels = value;
    else if (word == "pich")
        picture.heightPixels = value;
    else if (word == "picwgoal")
        picture.widthGoal = value;
    else if (word == "pichgoal")
        picture.heightGoal = value;
    else if (word == "picscalex")
        picture.scaleX = value;
    else if (word == "picscaley")
        picture.scaleY = value;
    else if (word == "bin") {
        if (value < 0 || value > TextReadLimits::kMaxEmbeddedObjectBytes) {
            m_failed = true;
            m_failure = QStringLiteral("embedded picture too large");
            return;
        }
        picture.binary += m_tokens.takeBytes(value);
    }
}

bool RTFParser::destinationControl(std::string_view word)
{
    static const std::unordered_map<std::string_view, Destination> destinations = {
        {"fonttbl", Destination::FontTable},
        {"colortbl", Destination::ColorTable},
        {"stylesheet", Destination::StyleSheet},
        {"listtable", Destination::ListTable},
        {"listoverridetable", Destination::ListOverrideTable},
        {"pict", Destination::Picture},
        {"fldinst", Destination::FieldInstruction},
        {"NeXTGraphic", Destination::NeXTGraphic},
        {"pn", Destination::OldListNumbering},
        {"info", Destination::Skip},
        {"header", Destination::Skip},
        {"headerl", Destination::Skip},
        {"headerr", Destination::Skip},
        {"headerf", Destination::Skip},
        {"footer", Destination::Skip},
        {"footerl", Destination::Skip},
        {"footerr", Destination::Skip},
        {"footerf", Destination::Skip},
        {"footnote", Destination::Skip},
        {"nonshppict", Destination::Skip},
        {"listtext", Destination::Skip},
        {"pntext", Destination::Skip},
        {"objdata", Destination::Skip},
        {"xe", Destination::Skip},
        {"tc", Destination::Skip},
        {"annotation", Destination::Skip},
        {"leveltext", Destination::Skip},
        {"levelnumbers", Destination::Skip},
        {"listname", Destination::Skip},
        {"filetbl", Destination::Skip},
        {"revtbl", Destination::Skip},
        {"rsidtbl", Destination::Skip},
        {"generator", Destination::Skip},
    };
    // destinations whose text is the document's own, though writers mark them with \*
    static const std::unordered_map<std::string_view, bool> transparent = {
        {"shppict", true},
        {"fldrslt", true},
        {"field", true},
        {"object", true},
        {"result", true},
    };
    const bool starred = m_starPending;
    m_starPending = false;
    const auto it = destinations.find(word);
    if (it != destinations.end()) {
        const Destination current = top().destination;
        Destination next = it->second;
        // inside the list table, \leveltext and the like are parts of a level, not text
        if (current == Destination::Skip)
            next = Destination::Skip;
        if (next == Destination::Picture) {
            if (current == Destination::Picture)
                return true;
            m_pictures.emplace_back();
        }
        if (next == Destination::FieldInstruction)
            m_fieldInstruction.clear();
        if (next == Destination::NeXTGraphic) {
            m_attachmentName.clear();
            m_attachmentWidth = m_attachmentHeight = 0;
        }
        top().destination = next;
        return true;
    }
    if (transparent.count(word)) {
        if (word == "fldrslt") {
            const QString instruction = m_fieldInstruction.trimmed();
            if (instruction.startsWith(QLatin1String("HYPERLINK"))) {
                QString target = instruction.mid(9).trimmed();
                const qsizetype open = target.indexOf(u'"');
                if (open >= 0)
                    target = target.mid(open + 1).section(u'"', 0, 0);
                top().chars.href = target;
            }
        }
        return true;
    }
    if (starred) {
        top().destination = Destination::Skip;
        return true;
    }
    return false;
}

void RTFParser::controlWord(const RTFTokenizer::Token& token)
{
    const std::string_view word = token.word;
    const int value = token.parameter;
    if (word == "bin" && top().destination != Destination::Picture) {
        // binary data outside a picture is not text: skip it
        if (token.hasParameter && value > 0)
            m_tokens.takeBytes(value);
        return;
    }
    if (top().destination == Destination::Picture) {
        flushText();
        if (word != "pict")
            pictureControl(word, value);
        if (m_starPending && word != "pict") {
            m_starPending = false;
            top().destination = Destination::Skip;
        }
        return;
    }
    if (word == "u") {
        if (m_skipCharacters > 0)
            m_skipCharacters = 0;
        const int unit = value < 0 ? value + 65536 : value;
        if (top().destination != Destination::Skip)
            appendCharacter(QChar(static_cast<char16_t>(unit & 0xFFFF)));
        m_skipCharacters = top().unicodeSkip;
        return;
    }
    m_skipCharacters = 0;
    if (word == "uc") {
        top().unicodeSkip = std::clamp(value, 0, 10);
        return;
    }
    flushText();
    if (destinationControl(word))
        return;
    const Destination destination = top().destination;
    if (destination == Destination::Skip)
        return;
    if (destination == Destination::ColorTable) {
        if (word == "red")
            m_red = std::clamp(value, 0, 255), m_colorSet = true;
        else if (word == "green")
            m_green = std::clamp(value, 0, 255), m_colorSet = true;
        else if (word == "blue")
            m_blue = std::clamp(value, 0, 255), m_colorSet = true;
        return;
    }
    if (destination == Destination::NeXTGraphic) {
        if (word == "width")
            m_attachmentWidth = value;
        else if (word == "height")
            m_attachmentHeight = value;
        else
            m_attachmentName += QChar(u'\x01'); // the name ends at the first control word
        return;
    }
    if (listControl(word, value))
        return;
    if (destination == Destination::FontTable) {
        if (word == "f" || word == "fcharset" || word == "cpg")
            characterControl(word, token.hasParameter, value);
        return;
    }
    if (destination == Destination::StyleSheet || destination == Destination::ListOverrideTable) {
        if (word == "s" || word == "outlinelevel" || word == "ls")
            paragraphControl(word, token.hasParameter, value);
        return;
    }
    if (destination != Destination::Text)
        return;
    if (word == "ansicpg") {
        if (value > 0)
            m_documentCodepage = value;
        return;
    }
    if (word == "mac") {
        m_documentCodepage = 10000;
        return;
    }
    if (word == "deff") {
        m_defaultFont = value;
        return;
    }
    if (characterControl(word, token.hasParameter, value) || paragraphControl(word, token.hasParameter, value)
        || tableControl(word, value))
        return;
    static const std::unordered_map<std::string_view, char16_t> specials = {
        {"tab", u'\t'},
        {"line", 0x2028},
        {"emdash", 0x2014},
        {"endash", 0x2013},
        {"bullet", 0x2022},
        {"lquote", 0x2018},
        {"rquote", 0x2019},
        {"ldblquote", 0x201C},
        {"rdblquote", 0x201D},
        {"emspace", 0x2003},
        {"enspace", 0x2002},
        {"qmspace", 0x2005},
        {"zwj", 0x200D},
        {"zwnj", 0x200C},
        {"ltrmark", 0x200E},
        {"rtlmark", 0x200F},
    };
    const auto special = specials.find(word);
    if (special != specials.end())
        appendCharacter(QChar(special->second));
}

void RTFParser::controlSymbol(char symbol)
{
    if (symbol == '*') {
        m_starPending = true;
        return;
    }
    if (top().destination == Destination::Picture)
        return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        textByte(static_cast<unsigned char>(symbol), false);
        break;
    case '~':
        appendCharacter(QChar(0x00A0));
        break;
    case '-':
        appendCharacter(QChar(0x00AD));
        break;
    case '_':
        appendCharacter(QChar(0x2011));
        break;
    case '\n':
        if (top().destination == Destination::Text)
            endParagraph(); // an escaped line end is \par
        break;
    case '\t':
        appendCharacter(u'\t');
        break;
    default:
        break;
    }
}

} // namespace RTFReaderDetail
