// Every spelling of a UTF-16 or UTF-32 label in ASCII-compatible markup is read as UTF-8, as the
// engine reads it; other labels are kept as declared.

#include "chm/PageEncoding.h"

#include <gtest/gtest.h>

TEST(PageEncodingLabels, SixteenAndThirtyTwoBitLabelsInAsciiMarkupAreUTF8)
{
    for (const char* label : {"utf-16", "UTF-16LE", "utf16", "UTF16BE", "utf-32", "Utf-32be"}) {
        const QByteArray page = QByteArray("<meta charset=\"") + label + "\"><p>x";
        EXPECT_EQ(PageEncoding::declaredEncoding(page).name, QStringLiteral("UTF-8")) << label;
    }
    EXPECT_EQ(PageEncoding::declaredEncoding("<meta charset=\"utf-8\">").name, QStringLiteral("utf-8"));
    EXPECT_EQ(PageEncoding::declaredEncoding("<meta charset=\" koi8-r \">").name, QStringLiteral("koi8-r"));
}
