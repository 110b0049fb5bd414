#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// What came of a batch that ran to its end, for the final alert: how many PDFs were written, which
// CHM files gave none, and which gave a PDF that lacks topics that could not be printed. A file is
// named by its place under the batch's destination ("Manuals/Setup.chm"), followed by the reason it
// gave no PDF.
struct BatchOutcome {
    struct MissingTopics {
        QString file;
        int topics = 0;
    };
    qint64 converted = 0;
    QStringList notConverted;
    std::vector<MissingTopics> missingTopics;

    bool convertedAll() const { return notConverted.isEmpty() && converted > 0; }
    bool convertedNothing() const { return converted == 0; }
};

// The final alert's texts for an outcome: the title says whether all, some or none of the files
// were converted (in the singular when the batch held one file, with the topics its PDF lacks), the
// message lists the files that were not and those whose PDF lacks topics, at most a handful of each
// by name.
struct BatchOutcomeTexts {
    QString title;
    QString message;
};
BatchOutcomeTexts FinalAlertTexts(const BatchOutcome& outcome);
