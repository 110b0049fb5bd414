#include "SampleDocuments.h"

#include "toolkit/text/ODTReader.h"
#include "toolkit/text/ODTWriter.h"

#include <QTextDocument>

#include <gtest/gtest.h>

TEST(ODT, RoundTripKeepsTextRunsAndStructure)
{
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    QString error;
    const QByteArray odt = ODTWriter::Write(original, &error);
    ASSERT_FALSE(odt.isEmpty()) << error.toStdString();
    QTextDocument back;
    ASSERT_TRUE(ODTReader::Read(odt, back, &error)) << error.toStdString();
    EXPECT_EQ(SampleDocuments::Describe(original).join(u'\n').toStdString(),
              SampleDocuments::Describe(back).join(u'\n').toStdString());
}
