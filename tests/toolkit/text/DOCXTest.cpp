#include "SampleDocuments.h"

#include "toolkit/text/DOCXReader.h"
#include "toolkit/text/DOCXWriter.h"

#include <QTextDocument>

#include <gtest/gtest.h>

TEST(DOCX, RoundTripKeepsTextRunsAndStructure)
{
    QTextDocument original;
    SampleDocuments::BuildRich(original);
    QString error;
    const QByteArray docx = DOCXWriter::Write(original, &error);
    ASSERT_FALSE(docx.isEmpty()) << error.toStdString();
    QTextDocument back;
    ASSERT_TRUE(DOCXReader::ReadDOCX(docx, back, &error)) << error.toStdString();
    EXPECT_EQ(SampleDocuments::Describe(original).join(u'\n').toStdString(),
              SampleDocuments::Describe(back).join(u'\n').toStdString());
}
