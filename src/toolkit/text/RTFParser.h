#pragma once

#include "toolkit/text/RTFReader.h"
#include "toolkit/text/RTFTokenizer.h"
#include "toolkit/text/TextDocumentBuilder.h"

#include <QColor>
#include <QString>
#include <QTextCharFormat>
#include <QTextListFormat>

#include <string_view>
#include <unordered_map>
#include <vector>

// The inside of RTFReader: a parser over the tokens with a stack of group states. Its core
// (groups, text, paragraphs, tables, pictures) is in RTFParser.cpp, the control words in
// RTFParserControls.cpp.
namespace RTFReaderDetail {

enum class Destination {
    Text,
    Skip,
    FontTable,
    ColorTable,
    StyleSheet,
    ListTable,
    ListOverrideTable,
    Picture,
    FieldInstruction,
    NeXTGraphic,
    OldListNumbering,
};

struct CharState {
    int font = -1;
    int halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;
    int background = 0;
    int vertical = 0; // 1 superscript, 2 subscript
    QString href;
};

struct ParagraphState {
    int alignment = 0;                                                                     // 0 left, 1 centre, 2 right, 3 justified
    int leftIndent = 0, rightIndent = 0, firstIndent = 0, spaceBefore = 0, spaceAfter = 0; // twips
    bool inTable = false;
    bool pageBreakBefore = false;
    int listOverride = 0;
    int listLevel = 0;
    int style = -1;
    int outlineLevel = -1;
    int oldListKind = 0; // \pn numbering: 1 bullet, 2 numbered
};

struct Group {
    Destination destination = Destination::Text;
    CharState chars;
    ParagraphState paragraph;
    int unicodeSkip = 1;
    int fontCodepage = 0; // codepage of the group's font, 0 for the document's
};

struct Font {
    QString name;
    int codepage = 0;
};

struct PictureData {
    QByteArray hex;
    QByteArray binary;
    bool known = false; // a format Qt decodes (PNG, JPEG)
    int widthPixels = 0, heightPixels = 0, widthGoal = 0, heightGoal = 0, scaleX = 100, scaleY = 100;
};

struct CellDefinition {
    bool mergeFirst = false;
    bool mergeContinued = false;
    bool mergeAbove = false; // \clvmrg: the cell continues the one above
    int right = 0;           // the cell's right edge (\cellx), twips
};

QString CodepageName(int codepage);
int CharsetCodepage(int charset);
QTextListFormat::Style ListStyleOfNumberFormat(int nfc);

class RTFParser {
public:
    RTFParser(const QByteArray& bytes, QTextDocument& document, const RTFReader::AttachmentLoader& attachments)
        : m_tokens(bytes)
        , m_builder(document)
        , m_attachments(attachments)
    {
    }

    bool run(QString* error);

private:
    Group& top() { return m_groups.back(); }
    bool pushGroup();
    void popGroup();
    void controlWord(const RTFTokenizer::Token& token);
    void controlSymbol(char symbol);
    void textByte(unsigned char byte, bool fromHex);
    void appendCharacter(QChar c);
    void flushBytes();
    void flushText();
    void destinationText(const QString& text);
    bool characterControl(std::string_view word, bool has, int value);
    bool paragraphControl(std::string_view word, bool has, int value);
    bool tableControl(std::string_view word, int value);
    bool destinationControl(std::string_view word);
    bool listControl(std::string_view word, int value);
    void pictureControl(std::string_view word, int value);
    void beginParagraph();
    void endParagraph();
    void endCell();
    void endRow();
    void finishPicture(PictureData& picture);
    void finishAttachment();
    QTextCharFormat charFormat() const;
    QTextBlockFormat blockFormat() const;

    RTFTokenizer m_tokens;
    TextDocumentBuilder m_builder;
    const RTFReader::AttachmentLoader& m_attachments;
    std::vector<Group> m_groups;
    int64_t m_groupCount = 0;
    bool m_starPending = false;
    int m_skipCharacters = 0;
    int m_documentCodepage = 1252;
    int m_defaultFont = 0;
    bool m_failed = false;
    QString m_failure;

    QByteArray m_pendingBytes;
    QString m_pendingText;

    std::unordered_map<int, Font> m_fonts;
    int m_currentFont = -1;
    std::vector<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorSet = false;
    std::unordered_map<int, int> m_styleHeadingLevels;
    int m_currentStyle = -1;
    int m_currentStyleOutline = -1;

    // lists: \listid -> level number formats; \ls -> \listid
    std::unordered_map<int, std::vector<int>> m_listLevels;
    std::vector<int> m_currentListLevels;
    int m_currentListId = 0;
    std::unordered_map<int, int> m_overrides;
    int m_currentOverrideList = 0;

    std::vector<PictureData> m_pictures; // one per open picture group
    QString m_attachmentName;
    int m_attachmentWidth = 0, m_attachmentHeight = 0;
    bool m_skipAttachmentCharacter = false;
    QString m_fieldInstruction;

    bool m_paragraphOpen = false;
    bool m_tableOpen = false;
    bool m_cellOpen = false;
    bool m_rowEnded = false;
    int m_cellIndex = 0;
    std::vector<CellDefinition> m_rowCells;
    std::vector<int> m_gridEdges; // the right edges of the table's first row: its column grid
    CellDefinition m_nextCell;
};

} // namespace RTFReaderDetail
