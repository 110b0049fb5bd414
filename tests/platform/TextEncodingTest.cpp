#include "platform/TextEncoding.h"

#include <QList>

#include <libxml/encoding.h>
#include <libxml/tree.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

struct Sample {
    const char* name;
    QByteArray bytes;
    const char* text; // UTF-8
};

// One character each code page places differently from its neighbours.
const QList<Sample> kSamples{
    {"CP1250", "\x8A", "Š"},       {"CP1251", "\xC3\xEB", "Гл"}, {"CP1252", "\x80\xE9", "€é"},
    {"CP1253", "\xC1", "Α"},       {"CP1254", "\xD0", "Ğ"},      {"CP1255", "\xE0", "א"},
    {"CP1256", "\xC7", "ا"},       {"CP1257", "\xC0", "Ą"},      {"CP1258", "\xC3", "Ă"},
    {"CP874", "\xA1", "ก"},        {"CP932", "\x87\x40\x82\xA0", "①あ"},
    {"CP936", "\xC4\xE3", "你"},   {"CP949", "\xC7\xD1\x81\x41", "한갂"},
    {"CP950", "\xA4\xA4", "中"},   {"iso_8859_1", "\x80\xE9", "\xC2\x80\xC3\xA9"},
    {"UTF-8", "\xE2\x82\xAC", "€"},
};

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// What libxml2 makes of the bytes under the label it is given.
std::optional<QString> decodeWithLibxml2(const QByteArray& bytes, const QByteArray& label)
{
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(label.constData());
    if (handler == nullptr)
        return std::nullopt;
    const std::unique_ptr<xmlBuffer, decltype(&xmlBufferFree)> in(xmlBufferCreate(), xmlBufferFree);
    const std::unique_ptr<xmlBuffer, decltype(&xmlBufferFree)> out(xmlBufferCreate(), xmlBufferFree);
    xmlBufferAdd(in.get(), reinterpret_cast<const xmlChar*>(bytes.constData()), static_cast<int>(bytes.size()));
    const int result = xmlCharEncInFunc(handler, out.get(), in.get());
    xmlCharEncCloseFunc(handler);
    if (result < 0)
        return std::nullopt;
    return QString::fromUtf8(reinterpret_cast<const char*>(xmlBufferContent(out.get())), xmlBufferLength(out.get()));
}

TEST(TextEncoding, DecodesEachCodePageOfTheLocaleTable)
{
    for (const Sample& sample : kSamples) {
        const QString name = QString::fromLatin1(sample.name);
        EXPECT_EQ(TextEncoding::decodeStrict(sample.bytes, name), text(sample.text)) << sample.name;
        EXPECT_EQ(TextEncoding::decodeLossy(sample.bytes, name), text(sample.text)) << sample.name;
    }
}

TEST(TextEncoding, Libxml2ReadsItsLabelAsTheSameCharacterSet)
{
    for (const Sample& sample : kSamples) {
        const QByteArray label = TextEncoding::libxml2Label(QString::fromLatin1(sample.name));
        ASSERT_FALSE(label.isEmpty()) << sample.name;
        // A trailing space, as CP1255 and CP1258 hold a letter back until they know no accent follows.
        EXPECT_EQ(decodeWithLibxml2(sample.bytes + ' ', label), text(sample.text) + u' ')
            << sample.name << " as " << label.constData();
    }
}

TEST(TextEncoding, GivesTheWebEngineTheLabelsItReadsAsTheseCharacterSets)
{
    const QList<std::pair<const char*, const char*>> labels{
        {"CP1252", "windows-1252"}, {"CP1251", "windows-1251"}, {"CP874", "windows-874"}, {"CP932", "Shift_JIS"},
        {"CP936", "GBK"},           {"CP949", "EUC-KR"},        {"CP950", "Big5"},        {"iso_8859_1", "ISO-8859-1"},
        {"UTF-8", "UTF-8"},
    };
    for (const auto& [name, label] : labels)
        EXPECT_EQ(TextEncoding::webCharsetLabel(QString::fromLatin1(name)), QByteArray(label)) << name;
}

TEST(TextEncoding, KnowsNamesWhateverTheirCaseAndSeparators)
{
    for (const char* name : {"cp1252", "Windows-1252", "WINDOWS_1252", "x-cp1252"})
        EXPECT_EQ(TextEncoding::libxml2Label(QString::fromLatin1(name)), QByteArray("CP1252")) << name;
    for (const char* name : {"ISO-8859-1", "iso_8859_1", "ISO_8859-1", "latin1"})
        EXPECT_EQ(TextEncoding::libxml2Label(QString::fromLatin1(name)), QByteArray("ISO-8859-1")) << name;
    for (const char* name : {"Shift_JIS", "shift-jis", "windows-31j", "MS932"})
        EXPECT_EQ(TextEncoding::libxml2Label(QString::fromLatin1(name)), QByteArray("CP932")) << name;
    EXPECT_TRUE(TextEncoding::isUtf8(QStringLiteral("utf8")));
    EXPECT_FALSE(TextEncoding::isUtf8(QStringLiteral("CP1252")));
}

TEST(TextEncoding, UnknownNamesConvertNothingAndHaveNoLabels)
{
    for (const QString& name : {QString(), QString(""), QStringLiteral("klingon"), QStringLiteral("CP12520")}) {
        EXPECT_FALSE(TextEncoding::isKnown(name));
        EXPECT_FALSE(TextEncoding::decodeStrict("abc", name).has_value());
        EXPECT_FALSE(TextEncoding::decodeLossy("abc", name).has_value());
        EXPECT_FALSE(TextEncoding::encodeStrict(QStringLiteral("abc"), name).has_value());
        EXPECT_TRUE(TextEncoding::libxml2Label(name).isEmpty());
        EXPECT_TRUE(TextEncoding::webCharsetLabel(name).isEmpty());
    }
}

TEST(TextEncoding, StrictDecodingRefusesBytesOutsideTheCharacterSet)
{
    const QList<std::pair<const char*, QByteArray>> invalid{
        {"UTF-8", "\xC3"},         {"UTF-8", "\xC0\xAF"},     {"UTF-8", "\xED\xA0\x80"}, {"UTF-8", "a\xFF"},
        {"CP1252", "\x81"},        {"CP932", "\x81\x7F"},     {"CP932", "\x82"},         {"CP936", "\xFF"},
        {"CP949", "\xC7"},         {"CP1253", "\xAA"},
    };
    for (const auto& [name, bytes] : invalid)
        EXPECT_FALSE(TextEncoding::decodeStrict(bytes, QString::fromLatin1(name)).has_value()) << name;
    // ISO-8859-1 has a character for every byte.
    EXPECT_EQ(TextEncoding::decodeStrict(QByteArray("\x81\0", 2), QStringLiteral("iso_8859_1"))->size(), 2);
}

TEST(TextEncoding, LossyDecodingReplacesBadBytesAndGoesOn)
{
    EXPECT_EQ(TextEncoding::decodeLossy("a\x81z", QStringLiteral("CP1252")), QStringLiteral("a\uFFFDz"));
    EXPECT_EQ(TextEncoding::decodeLossy("\x82\xA0\x81\x7F\x82\xA2", QStringLiteral("CP932")),
              QStringLiteral("あ\uFFFD\u007Fい"));
    EXPECT_EQ(TextEncoding::decodeLossy("ok\x82", QStringLiteral("CP932")), QStringLiteral("ok\uFFFD"));
    EXPECT_EQ(TextEncoding::decodeLossy("a\xFF" "b", QStringLiteral("UTF-8")), QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(TextEncoding::decodeLossy(QByteArray(), QStringLiteral("CP1251")), QString(""));
    // Output several times larger than the input still fits.
    const QByteArray many(5000, '\x80');
    EXPECT_EQ(TextEncoding::decodeLossy(many, QStringLiteral("CP1252")), QString(5000, QChar(0x20AC)));
    EXPECT_EQ(TextEncoding::decodeLossy(QByteArray(3000, '\x81'), QStringLiteral("CP1252")),
              QString(3000, QChar(0xFFFD)));
}

TEST(TextEncoding, LossyDecodingOfManyBadBytesTakesOnePass)
{
    // Each replacement used to be inserted into the pre-sized output, moving all that followed it:
    // this input then took hours and ran into the test's time limit; one pass takes a moment.
    const QByteArray bad(4 << 20, '\x81');
    const std::optional<QString> text = TextEncoding::decodeLossy(bad + "end", QStringLiteral("CP1252"));
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->size(), bad.size() + 3);
    EXPECT_EQ(text->count(QChar(0xFFFD)), bad.size());
    EXPECT_TRUE(text->endsWith(QStringLiteral("end")));
}

TEST(TextEncoding, CharactersAcrossEveryKilobyteBoundaryDecodeWhole)
{
    // The input goes to the converter a piece at a time: a character cut by a piece's end is
    // completed by the next piece, not taken for a bad one.
    for (const qsizetype lead : {1022, 1023, 2047}) {
        const QByteArray bytes = QByteArray(lead, 'a') + "\x82\xA0\x82\xA2";
        const QString expected = QString(lead, u'a') + QStringLiteral("あい");
        EXPECT_EQ(TextEncoding::decodeStrict(bytes, QStringLiteral("CP932")), expected) << lead;
        EXPECT_EQ(TextEncoding::decodeLossy(bytes + "\x82", QStringLiteral("CP932")), expected + QChar(0xFFFD)) << lead;
    }
}

TEST(TextEncoding, EncodesBackToTheSameBytesOrNotAtAll)
{
    for (const Sample& sample : kSamples) {
        const QString name = QString::fromLatin1(sample.name);
        EXPECT_EQ(TextEncoding::encodeStrict(text(sample.text), name), sample.bytes) << sample.name;
    }
    EXPECT_FALSE(TextEncoding::encodeStrict(QStringLiteral("あ"), QStringLiteral("CP1251")).has_value());
    EXPECT_FALSE(TextEncoding::encodeStrict(QStringLiteral("€"), QStringLiteral("iso_8859_1")).has_value());
    EXPECT_FALSE(TextEncoding::encodeStrict(QString(QChar(0xD800)), QStringLiteral("UTF-8")).has_value());
}

} // namespace
