#include "common/PageRangeNumberField.h"

namespace {

bool IsSeparator(QChar character)
{
    return character == QLatin1Char('-') || character == QLatin1Char(',');
}

bool IsRangeCharacter(QChar character)
{
    return (character >= QLatin1Char('0') && character <= QLatin1Char('9')) || IsSeparator(character);
}

} // namespace

PageRangeNumberField::PageRangeNumberField(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &PageRangeNumberField::textDidChange);
}

QString PageRangeNumberField::filteredPageRange(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    qsizetype end = start;
    while (end < text.size() && IsRangeCharacter(text.at(end)))
        ++end;
    QString range = text.mid(start, end - start);
    if (range.size() == 1 && IsSeparator(range.at(0)))
        return {};
    if (range.size() >= 2 && IsSeparator(range.at(range.size() - 1)) && IsSeparator(range.at(range.size() - 2)))
        range.chop(1);
    return range;
}

void PageRangeNumberField::textDidChange()
{
    const QString filtered = filteredPageRange(text());
    if (filtered != text())
        setText(filtered);
}
