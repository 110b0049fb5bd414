#include "app/batch/BatchOutcome.h"

#include "common/LocalizedStrings.h"

namespace {

// More names than this would push the alert's buttons off the screen.
constexpr qsizetype kListedFiles = 8;

QString NotConvertedList(const QStringList& names)
{
    QStringList lines;
    for (qsizetype index = 0; index < names.size() && index < kListedFiles; ++index)
        lines << QStringLiteral("• ") + names.at(index);
    if (names.size() > kListedFiles)
        lines << Localized("NotConvertedMore").arg(names.size() - kListedFiles);
    return lines.join(QLatin1Char('\n'));
}

QString Title(const BatchOutcome& outcome)
{
    const qint64 files = outcome.converted + outcome.notConverted.size();
    if (outcome.convertedNothing())
        return Localized(files == 1 ? "NothingConvertedOneMsg" : "NothingConvertedMsg");
    if (outcome.convertedAll())
        return Localized(files == 1 ? "SuccessfullConvertOneMsg" : "SuccessfullConvertMsg");
    return Localized("PartlyConvertedMsg").arg(outcome.converted).arg(files);
}

} // namespace

BatchOutcomeTexts FinalAlertTexts(const BatchOutcome& outcome)
{
    BatchOutcomeTexts texts;
    texts.title = Title(outcome);
    if (!outcome.notConverted.isEmpty()) {
        const char* intro = outcome.notConverted.size() == 1 ? "NotConvertedOneIntro" : "NotConvertedIntro";
        texts.message = Localized(intro) + QLatin1Char('\n') + NotConvertedList(outcome.notConverted);
    } else if (outcome.convertedNothing()) {
        texts.message = Localized("NoCHMFileFound");
    } else {
        texts.message = QStringLiteral("");
    }
    return texts;
}
