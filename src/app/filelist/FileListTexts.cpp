#include "app/filelist/FileListTexts.h"

#include "common/LocalizedStrings.h"

#include <QLatin1StringView>

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<const char*, const char*>, 2> kEnglishTexts{{
    {"OpenDialogTitle", "Add CHM Files"},
    {"OpenDialogButton", "Add"},
}};

} // namespace

QString FileListText(const char* key)
{
    const QString text = Localized(key);
    if (text != QLatin1StringView(key))
        return text;
    for (const auto& [name, english] : kEnglishTexts) {
        if (QLatin1StringView(name) == QLatin1StringView(key))
            return QString::fromUtf8(english);
    }
    return text;
}
