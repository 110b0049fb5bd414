#include "app/options/ExportOptionValidation.h"

#include "app/options/PageValueText.h"

namespace ExportOptionValidation {

namespace {

const QString& text(const FieldTexts& texts, ValueField field)
{
    return texts[static_cast<std::size_t>(field)];
}

QString singleValueTitle(ValueField field)
{
    switch (field) {
    case ValueField::Width:
        return QStringLiteral("The provided width value \"%1\" is not proper.");
    case ValueField::Height:
        return QStringLiteral("The provided height value \"%1\" is not proper.");
    case ValueField::Left:
        return QStringLiteral("The provided left margin value \"%1\" is not proper.");
    case ValueField::Top:
        return QStringLiteral("The provided top margin value \"%1\" is not proper.");
    case ValueField::Right:
        return QStringLiteral("The provided right margin value \"%1\" is not proper.");
    case ValueField::Bottom:
        return QStringLiteral("The provided bottom margin value \"%1\" is not proper.");
    }
    return {};
}

Problem singleValueProblem(const FieldTexts& texts, ValueField field)
{
    return {singleValueTitle(field).arg(text(texts, field)), field, true};
}

} // namespace

FieldValues checkedValues(const FieldTexts& texts)
{
    FieldValues values;
    for (std::size_t i = 0; i < texts.size(); ++i)
        values[i] = PageValueText::checkedValue(texts[i]);
    return values;
}

std::optional<Problem> findProblem(const FieldTexts& texts)
{
    return findProblem(texts, checkedValues(texts));
}

std::optional<Problem> findProblem(const FieldTexts& texts, const FieldValues& values)
{
    const auto value = [&values](ValueField field) { return values[static_cast<std::size_t>(field)]; };
    const std::optional<float> w = value(ValueField::Width);
    const std::optional<float> h = value(ValueField::Height);
    const std::optional<float> l = value(ValueField::Left);
    const std::optional<float> t = value(ValueField::Top);
    const std::optional<float> r = value(ValueField::Right);
    const std::optional<float> b = value(ValueField::Bottom);

    if (!w || *w <= 0)
        return singleValueProblem(texts, ValueField::Width);
    if (!h || *h <= 0)
        return singleValueProblem(texts, ValueField::Height);
    if (!l || *l < 0 || *l > *w)
        return singleValueProblem(texts, ValueField::Left);
    if (!t || *t < 0 || *t > *h)
        return singleValueProblem(texts, ValueField::Top);
    if (!r || *r < 0 || *r > *w)
        return singleValueProblem(texts, ValueField::Right);
    if (!b || *b < 0 || *b > *h)
        return singleValueProblem(texts, ValueField::Bottom);
    if (double(*l) + double(*r) > double(*w)) {
        // Both texts go in at once, so that a "%2" typed into the left field is not filled in again.
        const QString title = QStringLiteral("The provided total of left(\"%1\") and right(\"%2\") margin values are "
                                             "exceeding provided page width.")
                                  .arg(text(texts, ValueField::Left), text(texts, ValueField::Right));
        return Problem{title, ValueField::Left, false};
    }
    if (double(*t) + double(*b) > double(*h)) {
        const QString title = QStringLiteral("The provided total of top(\"%1\") and bottom(\"%2\") margin values are "
                                             "exceeding provided page height.")
                                  .arg(text(texts, ValueField::Top), text(texts, ValueField::Bottom));
        return Problem{title, ValueField::Top, false};
    }
    return std::nullopt;
}

} // namespace ExportOptionValidation
