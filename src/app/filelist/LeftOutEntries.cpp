#include "app/filelist/LeftOutEntries.h"

#include "app/filelist/FileListAddition.h"
#include "common/LocalizedStrings.h"

#include <QDir>
#include <QStringList>

namespace {

// More names than this would push the alert's button off the screen.
constexpr qsizetype kListedEntries = 8;

} // namespace

std::optional<LeftOutAlert> LeftOutAlertFor(const PendingFileListItems& addition)
{
    if (!addition.leftSomethingOut())
        return std::nullopt;
    QStringList lines;
    const auto note = [&lines](const QStringList& paths, const char* reasonKey) {
        for (const QString& path : paths)
            lines << QStringLiteral("• ") + Localized(reasonKey).arg(QDir::toNativeSeparators(path));
    };
    note(addition.missing, "NotFoundEntry");
    note(addition.notCHMFiles, "NotCHMEntry");
    note(addition.foldersWithoutCHM, "NoCHMInFolderEntry");
    const qsizetype listed = std::min(lines.size(), kListedEntries);
    QStringList shown = lines.mid(0, listed);
    if (lines.size() > listed)
        shown << Localized("NotConvertedMore").arg(lines.size() - listed);
    LeftOutAlert alert;
    alert.title = Localized(addition.items.empty() ? "NothingAddedTitle" : "SomeNotAddedTitle");
    alert.message = shown.join(QLatin1Char('\n'));
    return alert;
}
