#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// What came of a batch that ran to its end, for the final alert: how many PDFs were written, which
// CHM files gave none, which gave a PDF that lacks topics that could not be printed, and which are
// damaged, so that their PDF lacks what could not be read. A file is named by its place under the
// batch's destination ("Manuals/Setup.chm"), followed by the reason it gave no PDF.
struct BatchOutcome {
    struct MissingTopics {
        QString file;
        int topics = 0;
    };
    struct DamagedFile {
        QString file;
        int damagedTopics = 0;
        int topics = 0;
        bool contentsDamaged = false;
    };
    qint64 converted = 0;
    QStringList notConverted;
    std::vector<MissingTopics> missingTopics;
    std::vector<DamagedFile> damagedFiles;

    bool isIncomplete() const { return !missingTopics.empty() || !damagedFiles.empty(); }

    bool convertedAll() const { return notConverted.isEmpty() && converted > 0; }
    bool convertedNothing() const { return converted == 0; }
};

// The final alert's texts for an outcome: the title says whether all, some or none of the files
// were converted (in the singular when the batch held one file, with what its PDF lacks), the
// message lists the files that were not and those whose PDF lacks topics, at most a handful of each
// by name.
struct BatchOutcomeTexts {
    QString title;
    QString message;
};
BatchOutcomeTexts FinalAlertTexts(const BatchOutcome& outcome);
