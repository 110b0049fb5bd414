#include "SampleDocuments.h"

#include "toolkit/text/RTFReader.h"
#include "toolkit/text/RTFWriter.h"

#include <QTextDocument>

#include <gtest/gtest.h>

TEST(RTF, RoundTripKeepsTextRunsAndStructure)
{
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    const QByteArray rtf = RTFWriter::Write(original);
    QTextDocument back;
    ASSERT_TRUE(RTFReader::Read(rtf, back));
    EXPECT_EQ(SampleDocuments::Describe(original).join(u'\n').toStdString(),
              SampleDocuments::Describe(back).join(u'\n').toStdString());
    // a second trip is stable
    QTextDocument again;
    ASSERT_TRUE(RTFReader::Read(RTFWriter::Write(back), again));
    EXPECT_EQ(SampleDocuments::Describe(back), SampleDocuments::Describe(again));
}
