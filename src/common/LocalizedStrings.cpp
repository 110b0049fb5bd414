#include "common/LocalizedStrings.h"

#include <QLatin1StringView>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, const char*>, 4> kTexts{{
    {"Exporting", "Exporting %1"},
    {"Processing", "Processing %1"},
    {"Saving", "Saving %1"},
    {"pages", "pages"},
}};

} // namespace

QString Localized(const char* key)
{
    for (const auto& [name, text] : kTexts) {
        if (QLatin1StringView(name) == QLatin1StringView(key))
            return QString::fromUtf8(text);
    }
    return QString::fromUtf8(key);
}
