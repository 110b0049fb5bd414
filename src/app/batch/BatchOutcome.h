#pragma once

#include <QString>
#include <QStringList>

// What came of a batch that ran to its end, for the final alert: how many PDFs were written and
// which CHM files gave none. A file is named by its place under the batch's destination
// ("Manuals/Setup.chm"), followed by the reason it gave no PDF.
struct BatchOutcome {
    qint64 converted = 0;
    QStringList notConverted;

    bool convertedAll() const { return notConverted.isEmpty() && converted > 0; }
    bool convertedNothing() const { return converted == 0; }
};

// The final alert's texts for an outcome: the title says whether all, some or none of the files
// were converted (in the singular when the batch held one file), the message lists the files that
// were not, at most a handful of them by name.
struct BatchOutcomeTexts {
    QString title;
    QString message;
};
BatchOutcomeTexts FinalAlertTexts(const BatchOutcome& outcome);
