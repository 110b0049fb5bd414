#pragma once

#include <QUrl>

struct BatchOutcome;
struct TomefoldConversionOptions;

// The file counter of a running batch: the number of the file being converted (from 1) and the
// file total shown beside it.
struct BatchProgress {
    qint64 fileProcessingIndex = 0;
    qint64 numOfFilesForConversion = 0;
};

// Progress statuses of a batch, as the window's file bar and counter take them.
enum BatchProgressStatus : int {
    kBatchStarted = 1,
    kBatchItemStarted = 3,
    kBatchEnded = 5,
};

// What a batch asks of the window. The worker calls every one of these on the main thread and
// waits for it, so the window is only ever touched there.
class BatchExportHost {
public:
    virtual ~BatchExportHost() = default;

    // kBatchStarted: every control but the progress sheet goes off; kBatchEnded: they come back.
    virtual void SetEnableDisableControlWhileConversion(int status) = 0;
    virtual void GetConversionSettings(TomefoldConversionOptions* options) = 0;
    virtual void BeginProgressSheet() = 0;
    virtual void ChangeProgressStatus(int status, const BatchProgress& progress) = 0;
    virtual void raiseFileBarMaximum(qint64 addedItems) = 0;
    virtual void EndProgressSheet() = 0;
    // The batch is over: the window lets go of its items, destination and cancel flag. Called
    // before the controls come back, so that a batch started at once keeps what it was given.
    virtual void forgetBatch() = 0;
    // The end of a batch that was not cancelled: tells what came of it, and offers to open the
    // destination when a PDF was written there.
    virtual void AlertOnSuccessConversion(const QUrl& destinationURL, const BatchOutcome& outcome) = 0;
};
