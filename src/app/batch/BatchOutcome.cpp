#include "app/batch/BatchOutcome.h"

#include "common/LocalizedStrings.h"

namespace {

// More names than this would push the alert's buttons off the screen.
constexpr qsizetype kListedFiles = 8;

QString BulletList(const QStringList& names)
{
    QStringList lines;
    for (qsizetype index = 0; index < names.size() && index < kListedFiles; ++index)
        lines << QStringLiteral("• ") + names.at(index);
    if (names.size() > kListedFiles)
        lines << Localized("NotConvertedMore").arg(names.size() - kListedFiles);
    return lines.join(QLatin1Char('\n'));
}

QString MissingTopicsLine(const BatchOutcome::MissingTopics& missing)
{
    if (missing.topics == 1)
        return Localized("UnprintedTopicLine").arg(missing.file);
    return Localized("UnprintedTopicsLine").arg(missing.file).arg(missing.topics);
}

QString DamagedFileLine(const BatchOutcome::DamagedFile& damaged)
{
    if (damaged.damagedTopics == 0)
        return Localized("DamagedContentsLine").arg(damaged.file);
    const char* key = damaged.contentsDamaged ? "DamagedTopicsAndContentsLine" : "DamagedTopicsLine";
    return Localized(key).arg(damaged.file).arg(damaged.damagedTopics).arg(damaged.topics);
}

QStringList IncompleteFileLines(const BatchOutcome& outcome)
{
    QStringList lines;
    for (const BatchOutcome::DamagedFile& damaged : outcome.damagedFiles)
        lines << DamagedFileLine(damaged);
    for (const BatchOutcome::MissingTopics& missing : outcome.missingTopics)
        lines << MissingTopicsLine(missing);
    return lines;
}

QString Title(const BatchOutcome& outcome)
{
    const qint64 files = outcome.converted + outcome.notConverted.size();
    if (outcome.convertedNothing())
        return Localized(files == 1 ? "NothingConvertedOneMsg" : "NothingConvertedMsg");
    if (outcome.convertedAll() && files == 1 && !outcome.damagedFiles.empty())
        return Localized("ConvertedButDamagedMsg");
    if (outcome.convertedAll() && files == 1 && !outcome.missingTopics.empty()) {
        const int topics = outcome.missingTopics.front().topics;
        return topics == 1 ? Localized("ConvertedButUnprintedTopicMsg")
                           : Localized("ConvertedButUnprintedTopicsMsg").arg(topics);
    }
    if (outcome.convertedAll())
        return Localized(files == 1 ? "SuccessfullConvertOneMsg" : "SuccessfullConvertMsg");
    return Localized("PartlyConvertedMsg").arg(outcome.converted).arg(files);
}

} // namespace

BatchOutcomeTexts FinalAlertTexts(const BatchOutcome& outcome)
{
    BatchOutcomeTexts texts;
    texts.title = Title(outcome);
    QStringList paragraphs;
    if (!outcome.notConverted.isEmpty()) {
        const char* intro = outcome.notConverted.size() == 1 ? "NotConvertedOneIntro" : "NotConvertedIntro";
        paragraphs << Localized(intro) + QLatin1Char('\n') + BulletList(outcome.notConverted);
    } else if (outcome.convertedNothing()) {
        paragraphs << Localized("NoCHMFileFound");
    }
    // A PDF that lacks topics is never announced as a plain success: the file is named with the
    // count of topics it lost, and why.
    if (outcome.isIncomplete())
        paragraphs << BulletList(IncompleteFileLines(outcome));
    texts.message = paragraphs.join(QStringLiteral("\n\n"));
    return texts;
}
