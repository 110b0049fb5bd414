// The command-line flags of the toolkit command: one flag per field of an option record, named after the
// field in kebab case (firstPage is --first-page). An 8-bit field is a switch that takes no value; every
// other field takes the next argument. A table of flags exists for every record.

#pragma once

#include "toolkit/Toolkit.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

template <typename Record>
struct Flag {
    QString name; // without the leading "--"
    bool takesValue = true;
    // Sets the field; returns an error text, empty when the value was taken.
    std::function<QString(Record&, const QString&)> apply;
};

template <typename Record>
using FlagTable = std::vector<Flag<Record>>;

// "firstPage" gives "first-page", "maxDPI" gives "max-dpi".
QString KebabCase(const char* camelCase);

QString ParseSigned(const QString& text, long long minimum, long long maximum, long long& value);
QString ParseUnsigned(const QString& text, unsigned long long maximum, unsigned long long& value);
QString ParseReal(const QString& text, double& value);
QString ParseColour(const QString& text, QColor& colour);
QString ParseImage(const QString& path, std::shared_ptr<const Image>& image);

template <typename Record, typename Field>
Flag<Record> FieldFlag(const QString& name, Field Record::*member)
{
    Flag<Record> flag{name, true, {}};
    if constexpr (std::is_integral_v<Field> && sizeof(Field) == 1) {
        flag.takesValue = false;
        flag.apply = [member](Record& record, const QString&) {
            record.*member = 1;
            return QString();
        };
    } else if constexpr (std::is_integral_v<Field> && std::is_signed_v<Field>) {
        flag.apply = [member](Record& record, const QString& text) {
            long long value = 0;
            const QString error = ParseSigned(text, std::numeric_limits<Field>::min(), std::numeric_limits<Field>::max(), value);
            if (error.isEmpty())
                record.*member = static_cast<Field>(value);
            return error;
        };
    } else if constexpr (std::is_integral_v<Field>) {
        flag.apply = [member](Record& record, const QString& text) {
            unsigned long long value = 0;
            const QString error = ParseUnsigned(text, std::numeric_limits<Field>::max(), value);
            if (error.isEmpty())
                record.*member = static_cast<Field>(value);
            return error;
        };
    } else if constexpr (std::is_same_v<Field, double>) {
        flag.apply = [member](Record& record, const QString& text) { return ParseReal(text, record.*member); };
    } else if constexpr (std::is_same_v<Field, QString>) {
        flag.apply = [member](Record& record, const QString& text) {
            record.*member = text;
            return QString();
        };
    } else if constexpr (std::is_same_v<Field, QColor>) {
        flag.apply = [member](Record& record, const QString& text) { return ParseColour(text, record.*member); };
    } else if constexpr (std::is_same_v<Field, QFont>) {
        flag.apply = [member](Record& record, const QString& text) {
            (record.*member).setFamily(text);
            return QString();
        };
    } else {
        static_assert(std::is_same_v<Field, std::shared_ptr<const Image>>, "a field type without a flag");
        flag.apply = [member](Record& record, const QString& text) { return ParseImage(text, record.*member); };
    }
    return flag;
}

// A flag named after the record's field by the kebab-case rule.
#define TOOLKIT_FLAG(Record, field) FieldFlag(KebabCase(#field), &Record::field)

// The flags of a record held inside another (the size and stamp records), names prefixed.
template <typename Record, typename Part>
void AddNestedFlags(FlagTable<Record>& table, const QString& prefix, Part& (*part)(Record&),
                    const FlagTable<Part>& inner)
{
    for (const Flag<Part>& flag : inner) {
        table.push_back({prefix + flag.name, flag.takesValue,
                         [part, apply = flag.apply](Record& record, const QString& text) {
                             return apply(part(record), text);
                         }});
    }
}

// Applies the flags among the arguments to the record; the other arguments are the operands, in order.
// Returns an error text, empty when every flag was known and its value taken.
template <typename Record>
QString ApplyFlags(const FlagTable<Record>& table, const QStringList& arguments, Record& record, QStringList& operands)
{
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& argument = arguments.at(index);
        if (!argument.startsWith(QLatin1String("--"))) {
            operands << argument;
            continue;
        }
        const QString name = argument.mid(2);
        const auto flag = std::find_if(table.begin(), table.end(), [&name](const auto& each) { return each.name == name; });
        if (flag == table.end())
            return QStringLiteral("unknown flag %1").arg(argument);
        QString value;
        if (flag->takesValue) {
            if (++index >= arguments.size())
                return QStringLiteral("%1 needs a value").arg(argument);
            value = arguments.at(index);
        }
        const QString error = flag->apply(record, value);
        if (!error.isEmpty())
            return QStringLiteral("%1: %2").arg(argument, error);
    }
    return {};
}

FlagTable<ImageConversionOptions> ImageFlags();
FlagTable<PDFToDocumentConversionOptions> PDFToDocumentFlags();
FlagTable<ImagesToPDFConversionOptions> ImagesToPDFFlags();
FlagTable<TextToPDFConversionOptions> TextToPDFFlags();
FlagTable<FilesToPDFConversionOptions> FilesToPDFFlags();
