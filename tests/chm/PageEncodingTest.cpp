#include "chm/CHMDocument.h"
#include "chm/ITSSProtocol.h"
#include "chm/PageEncoding.h"
#include "chm/XHTMLRepair.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using PageEncoding::Source;

const QString kCodePage = QStringLiteral("CP1252");

TEST(PageEncodingDeclaration, FindsMarksXmlDeclarationsAndMetaElements)
{
    EXPECT_EQ(PageEncoding::declaredEncoding("\xEF\xBB\xBF<p>x").source, Source::ByteOrderMark);
    EXPECT_EQ(PageEncoding::declaredEncoding("\xEF\xBB\xBF<p>x").markLength, 3);
    EXPECT_EQ(PageEncoding::declaredEncoding("\xFF\xFE<\0p\0").name, QStringLiteral("UTF-16LE"));

    const auto xml = PageEncoding::declaredEncoding("<?xml version=\"1.0\" encoding='Shift_JIS'?><html/>");
    EXPECT_EQ(xml.source, Source::XmlDeclaration);
    EXPECT_EQ(xml.name, QStringLiteral("Shift_JIS"));

    EXPECT_EQ(PageEncoding::declaredEncoding("<html><head><META CHARSET=\"utf-8\">").name, QStringLiteral("utf-8"));
    EXPECT_EQ(PageEncoding::declaredEncoding(
                  "<head><meta content='text/html; charset=windows-1251' http-equiv=\"Content-Type\">")
                  .name,
              QStringLiteral("windows-1251"));
    // A content attribute without the http-equiv that gives it meaning declares nothing.
    EXPECT_EQ(PageEncoding::declaredEncoding("<meta name=x content=\"charset=utf-8\">").source, Source::None);
    // Declarations inside comments and after the body's start do not count.
    EXPECT_EQ(PageEncoding::declaredEncoding("<!-- <meta charset=utf-8> --><p>x").source, Source::None);
    EXPECT_EQ(PageEncoding::declaredEncoding("<body><meta charset=utf-8>").source, Source::None);
    // Attribute values that hold ">" do not end the tag before them.
    EXPECT_EQ(PageEncoding::declaredEncoding("<link title=\"a>b\"><meta charset=koi8-r>").name,
              QStringLiteral("koi8-r"));
    // ASCII-compatible markup that claims UTF-16 is UTF-8.
    EXPECT_EQ(PageEncoding::declaredEncoding("<meta charset=\"utf-16\">").name, QStringLiteral("UTF-8"));
}

TEST(PageEncodingDecision, TheCodePageIsOnlyTheDefaultAndAChoiceOverridesAllButAByteOrderMark)
{
    const QByteArray meta("<meta charset=\"utf-8\"><p>B\xC3\xA9zier");
    const QByteArray bom("\xEF\xBB\xBF<p>B\xC3\xA9zier");
    const QByteArray plain("<p>B\xE9zier");

    EXPECT_EQ(PageEncoding::decide(meta, kCodePage, false).name, QStringLiteral("utf-8"));
    EXPECT_TRUE(PageEncoding::decide(meta, kCodePage, false).announce);
    EXPECT_FALSE(PageEncoding::decide(bom, kCodePage, false).announce);
    EXPECT_EQ(PageEncoding::decide(plain, kCodePage, false).name, kCodePage);
    // Nothing known and nothing declared: the engine decides.
    EXPECT_FALSE(PageEncoding::decide(plain, QString(), false).announce);
    // An unknown declared name is left to the engine too.
    EXPECT_FALSE(PageEncoding::decide("<meta charset=x-klingon>", kCodePage, false).announce);

    // A chosen encoding beats declarations but not a byte-order mark: the marked page stays UTF-8.
    const PageEncoding::Decision marked = PageEncoding::decide(bom, QStringLiteral("CP1252"), true);
    EXPECT_EQ(marked.name, QStringLiteral("UTF-8"));
    EXPECT_FALSE(marked.announce);
    EXPECT_EQ(PageEncoding::decide(meta, QStringLiteral("CP1251"), true).name, QStringLiteral("CP1251"));

    EXPECT_EQ(PageEncoding::decodePage(meta, kCodePage, false),
              QStringLiteral("<meta charset=\"utf-8\"><p>B\u00e9zier"));
    EXPECT_EQ(PageEncoding::decodePage(bom, kCodePage, false), QStringLiteral("<p>B\u00e9zier"));
    EXPECT_EQ(PageEncoding::decodePage(plain, kCodePage, false), QStringLiteral("<p>B\u00e9zier"));
    EXPECT_EQ(PageEncoding::decodePage(plain, QStringLiteral("CP1251"), true), QStringLiteral("<p>B\u0439zier"));
    EXPECT_EQ(PageEncoding::decodePage(bom, QStringLiteral("CP1252"), true), QStringLiteral("<p>B\u00e9zier"));
}

TEST(XHTMLRepairTest, ClosesSelfClosedElementsOfXHTMLPagesOnly)
{
    EXPECT_TRUE(XHTMLRepair::isXHTML("<?xml version=\"1.0\"?><html>"));
    EXPECT_TRUE(XHTMLRepair::isXHTML("\xEF\xBB\xBF<?xml version=\"1.0\"?><html>"));
    EXPECT_TRUE(XHTMLRepair::isXHTML("<!DOCTYPE html><html xmlns=\"http://www.w3.org/1999/xhtml\">"));
    EXPECT_FALSE(XHTMLRepair::isXHTML("<html><head><title/>"));

    EXPECT_EQ(XHTMLRepair::closeSelfClosedElements("<head><title /><script src=\"a.js\"/></head>"),
              QByteArray("<head><title ></title><script src=\"a.js\"></script></head>"));
    // Void elements keep their form; values holding "/>" are not tag ends.
    EXPECT_EQ(XHTMLRepair::closeSelfClosedElements("<br/><img alt=\"a/>b\" src='x'/><a name=\"n\"/>"),
              QByteArray("<br/><img alt=\"a/>b\" src='x'/><a name=\"n\"></a>"));
    // Comments, CDATA and script text are no markup.
    const QByteArray untouched("<!-- <div/> --><![CDATA[<p/>]]><script>var s = '<div/>';</script>");
    EXPECT_EQ(XHTMLRepair::closeSelfClosedElements(untouched), untouched);
    // An unfinished tag at the end is left alone.
    EXPECT_EQ(XHTMLRepair::closeSelfClosedElements("<p>x<div"), QByteArray("<p>x<div"));
}

TEST(PageEncodingServing, PagesAreAnnouncedWithTheirOwnDeclarationOrTheCodePage)
{
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(
        QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-page-encodings"))), QStringLiteral("CHM")));
    const ITSSProtocol protocol(document);
    const auto get = [&](const char* url) { return protocol.responseFor(QUrl(QString::fromLatin1(url))); };
    EXPECT_EQ(get("itss://chm/meta.htm").mimeType, QByteArray("text/html; charset=UTF-8"));
    EXPECT_EQ(get("itss://chm/equiv.htm").mimeType, QByteArray("text/html; charset=UTF-8"));
    EXPECT_EQ(get("itss://chm/bom.htm").mimeType, QByteArray("text/html"));
    EXPECT_TRUE(get("itss://chm/bom.htm").data.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(get("itss://chm/codepage.htm").mimeType, QByteArray("text/html; charset=windows-1252"));

    document.setEncodingName(QStringLiteral("CP1251"));
    for (const char* url : {"itss://chm/meta.htm", "itss://chm/codepage.htm"})
        EXPECT_EQ(get(url).mimeType, QByteArray("text/html; charset=windows-1251")) << url;
    // The marked page is served as it is, mark and all, and the engine reads it as UTF-8.
    EXPECT_EQ(get("itss://chm/bom.htm").mimeType, QByteArray("text/html"));
    EXPECT_TRUE(get("itss://chm/bom.htm").data.startsWith("\xEF\xBB\xBF"));
}

TEST(PageEncodingServing, XHTMLPagesAreServedWithTheirEmptyElementsClosed)
{
    CHMDocument document;
    ASSERT_TRUE(document.readFromURL(QUrl::fromLocalFile(TestSupport::fixturePath(QStringLiteral("export-xhtml"))),
                                     QStringLiteral("CHM")));
    const ITSSProtocol protocol(document);
    const QByteArray home = protocol.responseFor(QUrl(QStringLiteral("itss://chm/home.htm"))).data;
    EXPECT_TRUE(home.contains("<title ></title>"));
    EXPECT_TRUE(home.contains("<script type=\"text/javascript\" src=\"script.js\" ></script>"));
    EXPECT_EQ(protocol.responseFor(QUrl(QStringLiteral("itss://chm/home.htm"))).mimeType,
              QByteArray("text/html; charset=UTF-8"));
}

} // namespace
