// The file bar of a batch shows the share of the whole batch done, with the current file's pages.
#include "app/window/ExportProgressSheet.h"

#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

double shownShare(const ExportProgressSheet& sheet)
{
    const QProgressBar& bar = *sheet.conversionProgressIndicator();
    return double(bar.value() - bar.minimum()) / double(bar.maximum() - bar.minimum());
}

TEST(ExportProgressSheet, TheFileBarShowsTheShareOfTheBatchDone)
{
    QWidget window;
    ExportProgressSheet sheet(&window);
    QProgressBar& pages = *sheet.exportProgressIndicator();

    // One file: its start is no half of the work.
    sheet.begin();
    sheet.stepFileBar();
    pages.setValue(5);
    EXPECT_NEAR(shownShare(sheet), 0.05, 0.001);
    sheet.stepFileBar();
    EXPECT_DOUBLE_EQ(shownShare(sheet), 1.0);
    sheet.end();

    // Three files: halfway through the second is half the batch, and a new file's pages start
    // from nothing without taking the bar back.
    sheet.begin();
    sheet.raiseFileBarMaximum(3);
    sheet.stepFileBar();
    sheet.stepFileBar();
    EXPECT_DOUBLE_EQ(shownShare(sheet), 0.0);
    pages.setValue(100);
    sheet.stepFileBar();
    EXPECT_NEAR(shownShare(sheet), 1.0 / 3, 0.001);
    pages.setValue(50);
    EXPECT_NEAR(shownShare(sheet), 0.5, 0.001);
    pages.setValue(10); // the links of the file, counted again from 0
    EXPECT_NEAR(shownShare(sheet), 0.5, 0.001);
    sheet.end();
}

} // namespace
