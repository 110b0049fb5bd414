#include "common/FinderCompare.h"

#include <QCollator>

namespace WBQUtil {

namespace {

bool HasWidthVariant(QChar character)
{
    const char16_t code = character.unicode();
    return code == u'\u3000' || (code >= u'\uFF00' && code <= u'\uFFEF');
}

// Only the full-width and half-width forms are folded (to their compatibility equivalents); other
// compatibility characters such as ligatures or superscripts keep their identity.
QString FoldWidth(const QString& text)
{
    QString folded;
    folded.reserve(text.size());
    for (const QChar character : text) {
        if (HasWidthVariant(character))
            folded += QString(character).normalized(QString::NormalizationForm_KC);
        else
            folded += character;
    }
    return folded.normalized(QString::NormalizationForm_C);
}

QLocale CollationLocale(const std::optional<QLocale>& locale)
{
    if (!locale || locale->language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return *locale;
}

int Compare(const QLocale& locale, Qt::CaseSensitivity caseSensitivity, const QString& string,
            const QString& other)
{
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(caseSensitivity);
    return collator.compare(string, other);
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

int FinderCompare(const QString& string, const QString& other, const std::optional<QLocale>& locale)
{
    const QLocale collationLocale = CollationLocale(locale);
    const QString foldedString = FoldWidth(string);
    const QString foldedOther = FoldWidth(other);
    int order = Compare(collationLocale, Qt::CaseInsensitive, foldedString, foldedOther);
    if (order == 0)
        order = Compare(collationLocale, Qt::CaseSensitive, foldedString, foldedOther);
    if (order == 0)
        order = QString::compare(string, other, Qt::CaseSensitive);
    return Sign(order);
}

} // namespace WBQUtil
