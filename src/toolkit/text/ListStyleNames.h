#pragma once

#include <QLatin1String>
#include <QString>
#include <QTextListFormat>

#include <optional>
#include <span>

// A list style and a name a file format gives that numbering. A format's table of them serves its
// reader and its writer alike, so that what one writes the other reads back.
struct ListStyleName {
    QTextListFormat::Style style;
    const char* name;
};

// The first name the table gives the style.
inline std::optional<QString> NameOfListStyle(std::span<const ListStyleName> names, QTextListFormat::Style style)
{
    for (const ListStyleName& entry : names) {
        if (entry.style == style)
            return QString::fromLatin1(entry.name);
    }
    return std::nullopt;
}

inline std::optional<QTextListFormat::Style> ListStyleOfName(std::span<const ListStyleName> names, const QString& name)
{
    for (const ListStyleName& entry : names) {
        if (name == QLatin1String(entry.name))
            return entry.style;
    }
    return std::nullopt;
}
