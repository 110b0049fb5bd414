#include "export/pdfcore/CoreSettingsReader.h"
#include "export/pdfcore/ResourceFolder.h"
#include "export/pdfcore/SettingsFileLookup.h"

#include "support/CoreErrorCapture.h"
#include "support/TempFolder.h"

#include <QDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using PDFCore::CoreSettings;
using PDFCore::CoreSettingsReader;

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

using Strings = std::vector<std::string>;

CoreSettings parse(const std::string& text, std::optional<std::string> resources = std::string("/R"))
{
    CoreSettingsReader reader(std::move(resources));
    reader.parseFile("rc", text);
    return reader.settings();
}

TEST(CoreSettingsLines, SplitIntoWordsWithQuotes)
{
    EXPECT_EQ(PDFCore::settingsLineTokens("  cMapDir\tAdobe-Japan1   /CMap/Japan  "),
              (Strings{"cMapDir", "Adobe-Japan1", "/CMap/Japan"}));
    EXPECT_EQ(PDFCore::settingsLineTokens(R"(fontFile "Times Roman" '/a b/c.pfb')"),
              (Strings{"fontFile", "Times Roman", "/a b/c.pfb"}));
    EXPECT_EQ(PDFCore::settingsLineTokens(R"(x "unterminated word)"), (Strings{"x", "unterminated word"}));
    EXPECT_EQ(PDFCore::settingsLineTokens(R"("a"b 'c')"), (Strings{"a", "b", "c"}));
    EXPECT_TRUE(PDFCore::settingsLineTokens(" \t ").empty());
    const std::vector<std::string_view> lines = PDFCore::textFileLines("a\r\nb\rc\n\nd");
    EXPECT_EQ(lines, (std::vector<std::string_view>{"a", "b", "c", "", "d"}));
}

TEST(CoreSettingsCommands, ResourcePathsAreAppendedAsWritten)
{
    const CoreSettings s = parse("cidToUnicode Adobe-Japan1 /Maps/J\n"
                                 "unicodeMap ISO-2022-JP /Maps/ISO\n"
                                 "cMapDir Adobe-Japan1 /CMap/A\n"
                                 "cMapDir Adobe-Japan1 CMap/B\n"
                                 "toUnicodeDir /ToU\n"
                                 "unicodeToUnicode Foo /abs/foo.utu\n"
                                 "fontFile Symbol /usr/fonts/s.pfb\n"
                                 "# cidToUnicode Adobe-Korea1 /Maps/K\n");
    EXPECT_EQ(s.cidToUnicodeFiles, (std::map<std::string, std::string>{{"Adobe-Japan1", "/R/Maps/J"}}));
    EXPECT_EQ(s.unicodeMapFiles, (std::map<std::string, std::string>{{"ISO-2022-JP", "/R/Maps/ISO"}}));
    ASSERT_EQ(s.cMapDirs.size(), 1u);
    EXPECT_EQ(s.cMapDirs[0].second, (Strings{"/R/CMap/A", "/RCMap/B"}));
    EXPECT_EQ(s.toUnicodeDirs, (Strings{"/R/ToU"}));
    EXPECT_EQ(s.unicodeToUnicodeFiles, (std::map<std::string, std::string>{{"Foo", "/abs/foo.utu"}}));
    EXPECT_EQ(s.fontFiles, (std::map<std::string, std::string>{{"Symbol", "/usr/fonts/s.pfb"}}));
}

TEST(CoreSettingsCommands, LaterMapLinesReplaceEarlierOnes)
{
    const CoreSettings s = parse("cidToUnicode Adobe-GB1 /first\ncidToUnicode Adobe-GB1 /second\n"
                                 "unicodeMap Big5 /one\nunicodeMap Big5 /two\n");
    EXPECT_EQ(s.cidToUnicodeFiles.at("Adobe-GB1"), "/R/second");
    EXPECT_EQ(s.unicodeMapFiles.at("Big5"), "/R/two");
}

TEST(CoreSettingsCommands, WithoutResourcesFolderPathCommandsAddNothing)
{
    CoreSettingsReader reader(std::string("/R"));
    reader.parseFile("rc", "cidToUnicode Adobe-GB1 /first\nunicodeMap Big5 /one\n");
    CoreSettingsReader noFolder(std::nullopt);
    noFolder.parseFile("rc", "cidToUnicode Adobe-GB1 /first\nunicodeMap Big5 /one\ncMapDir Adobe-GB1 /c\n"
                             "toUnicodeDir /t\nnameToUnicode /n\nfontFile F /f\n");
    const CoreSettings& s = noFolder.settings();
    EXPECT_TRUE(s.cidToUnicodeFiles.empty());
    EXPECT_TRUE(s.unicodeMapFiles.empty());
    ASSERT_EQ(s.cMapDirs.size(), 1u); // the collection's list exists, empty
    EXPECT_TRUE(s.cMapDirs[0].second.empty());
    EXPECT_TRUE(s.toUnicodeDirs.empty());
    EXPECT_TRUE(s.nameToUnicode.empty());
    EXPECT_EQ(s.fontFiles.size(), 1u);
}

TEST(CoreSettingsCommands, BadLinesAreReportedAndIgnored)
{
    const CoreErrorCapture errors;
    const CoreSettings s = parse("cidToUnicode Adobe-GB1\n"
                                 "\n"
                                 "unicodeMap a b c\n"
                                 "cMapDir only\n"
                                 "toUnicodeDir\n"
                                 "nameToUnicode a b\n"
                                 "unicodeToUnicode x\n"
                                 "fontFile x\n"
                                 "include\n"
                                 "textEncoding UTF-8\n"
                                 "cidToUnicode ../up /m\n"
                                 "unicodeMap a/b /m\n");
    EXPECT_TRUE(s.cidToUnicodeFiles.empty());
    EXPECT_TRUE(s.unicodeMapFiles.empty());
    EXPECT_TRUE(s.cMapDirs.empty());
    EXPECT_EQ(errors.messages(), (QStringList{
                                     "Bad 'cidToUnicode' config file command (rc:1)",
                                     "Bad 'unicodeMap' config file command (rc:3)",
                                     "Bad 'cMapDir' config file command (rc:4)",
                                     "Bad 'toUnicodeDir' config file command (rc:5)",
                                     "Bad 'nameToUnicode' config file command (rc:6)",
                                     "Bad 'unicodeToUnicode' config file command (rc:7)",
                                     "Bad 'fontFile' config file command (rc:8)",
                                     "Bad 'include' config file command (rc:9)",
                                     "Unknown config file command 'textEncoding' (rc:10)",
                                     "Bad 'cidToUnicode' config file command (rc:11)",
                                     "Bad 'unicodeMap' config file command (rc:12)",
                                 }));
}

TEST(CoreSettingsCommands, NameToUnicodeFilesAreLoadedInOrder)
{
    const TempFolder resources;
    resources.write("names/a", "0041 alpha\n00e9 eacute extra\nbad\n\nzz gamma\n");
    resources.write("names/b", "0042 alpha\n");
    const CoreErrorCapture errors;
    const CoreSettings s = parse("nameToUnicode /names/a\nnameToUnicode /names/missing\nnameToUnicode /names/b\n",
                                 resources.path());
    EXPECT_EQ(s.nameToUnicode, (std::vector<std::pair<std::string, Unicode>>{
                                   {"alpha", 0x41}, {"eacute", 0xe9}, {"alpha", 0x42}}));
    const QString a = QString::fromStdString(resources.path("names/a"));
    EXPECT_EQ(errors.messages(), (QStringList{
                                     QStringLiteral("Bad line in 'nameToUnicode' file (%1:3)").arg(a),
                                     QStringLiteral("Bad line in 'nameToUnicode' file (%1:4)").arg(a),
                                     QStringLiteral("Bad line in 'nameToUnicode' file (%1:5)").arg(a),
                                     "Couldn't open 'nameToUnicode' file '/names/missing'",
                                 }));
}

TEST(CoreSettingsCommands, IncludedFilesAreReadAsWrittenAndNeverLoop)
{
    const TempFolder folder;
    const std::string self = folder.path("self");
    folder.write("self", QByteArray::fromStdString("toUnicodeDir /x\ninclude " + self + "\n"));
    folder.write("other", QByteArray::fromStdString("cidToUnicode C /c\ninclude " + self + "\n"));
    const CoreErrorCapture errors;
    CoreSettingsReader reader(std::string("/R"));
    reader.parseFile(folder.path("top"),
                     "include " + folder.path("other") + "\ninclude " + folder.path("absent") + "\n");
    EXPECT_EQ(reader.settings().cidToUnicodeFiles.at("C"), "/R/c");
    EXPECT_EQ(reader.settings().toUnicodeDirs, (Strings{"/R/x"}));
    EXPECT_EQ(errors.messages(),
              (QStringList{QStringLiteral("Config file '%1' includes itself (%1:2)").arg(QString::fromStdString(self)),
                           QStringLiteral("Couldn't find included config file: '%1' (%2:2)")
                               .arg(QString::fromStdString(folder.path("absent")),
                                    QString::fromStdString(folder.path("top")))}));
}

TEST(CoreSettingsCommands, IncludesThatMultiplyStopAtALimit)
{
    // Ten files, each including the next one ten times: 10^9 reads without a limit.
    const TempFolder folder;
    for (int level = 0; level < 10; ++level) {
        std::string text = "toUnicodeDir /level\n";
        for (int line = 0; level < 9 && line < 10; ++line)
            text += "include " + folder.path(std::to_string(level + 1).c_str()) + "\n";
        folder.write(std::to_string(level).c_str(), QByteArray::fromStdString(text));
    }
    const CoreErrorCapture errors;
    CoreSettingsReader reader(std::string("/R"));
    reader.parseFile(folder.path("top"), "include " + folder.path("0") + "\n");
    EXPECT_EQ(reader.settings().toUnicodeDirs.size(), 256u);
    EXPECT_TRUE(errors.messages().last().startsWith(QStringLiteral("Too many included config files")));
}

TEST(CoreSettingsCommands, OnlyRegularFilesOfBoundedSizeAreRead)
{
    // A FIFO would make the export wait for a writer for ever, /dev/zero would fill the memory.
    const TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.path("fifo").c_str(), 0600), 0);
    folder.write("huge", QByteArray(PDFCore::kMaximumSettingsFileBytes + 1, '#'));
    folder.write("names", "0041 A\n");
    for (const std::string& path : {folder.path("fifo"), std::string("/dev/zero"), folder.path("huge"), folder.path()})
        EXPECT_FALSE(PDFCore::readWholeFile(path).has_value()) << path;
    EXPECT_EQ(PDFCore::readWholeFile(folder.path("names")), "0041 A\n");

    const CoreErrorCapture errors;
    CoreSettingsReader reader(std::string("/"));
    reader.parseFile("rc", "include " + folder.path("fifo") + "\ninclude /dev/zero\nnameToUnicode " + folder.path("fifo")
                               + "\nnameToUnicode dev/zero\nnameToUnicode " + folder.path("names") + "\n");
    EXPECT_EQ(reader.settings().nameToUnicode.size(), 1u);
    EXPECT_EQ(errors.messages().size(), 4);
}

TEST(CoreSettingsLookup, AFifoNamedXpdfrcIsPassedOver)
{
    const TempFolder current;
    ASSERT_EQ(::mkfifo(current.path("xpdfrc").c_str(), 0600), 0);
    EXPECT_FALSE(PDFCore::findSettingsFile({"", std::nullopt, current.path()}).has_value());
}

class SettingsFileLookup : public testing::Test
{
protected:
    PDFCore::SettingsFileSources sources(std::string requested = {}) const
    {
        return {std::move(requested), resources.path(), current.path()};
    }
    TempFolder resources;
    TempFolder current;
};

TEST_F(SettingsFileLookup, ResourcesFolderComesBeforeCurrentFolder)
{
    resources.write("xpdfrc", "from resources");
    current.write("xpdfrc", "from current");
    const auto found = PDFCore::findSettingsFile(sources());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, resources.path("xpdfrc"));
    EXPECT_EQ(found->contents, "from resources");
}

TEST_F(SettingsFileLookup, RequestedNameComesFirstAndMissingOnesFallThrough)
{
    current.write("xpdfrc", "from current");
    current.write("mine", "requested");
    EXPECT_EQ(PDFCore::findSettingsFile(sources(current.path("mine")))->contents, "requested");
    EXPECT_EQ(PDFCore::findSettingsFile(sources(current.path("nope")))->contents, "from current");
    resources.makeFolder("xpdfrc"); // a folder of that name does not open as a file
    EXPECT_EQ(PDFCore::findSettingsFile(sources())->contents, "from current");
    EXPECT_EQ(PDFCore::findSettingsFile({"", std::nullopt, current.path()})->contents, "from current");
}

TEST_F(SettingsFileLookup, NoFileFoundIsSilent)
{
    const CoreErrorCapture errors;
    EXPECT_FALSE(PDFCore::findSettingsFile(sources()));
    EXPECT_TRUE(errors.messages().isEmpty());
}

TEST(ResourceFolder, FromExecutablePath)
{
    struct Case
    {
        const char* executable;
        const char* expected;
    };
    for (const Case& c : {Case{"/usr/bin/tomefold", "/usr/share/tomefold"},
                          Case{"/opt/x/y/bin/tomefold", "/opt/x/y/share/tomefold"},
                          Case{"/a/b/c/d", "/a/b/share/tomefold"},
                          Case{"/a/b", "/a/bshare/tomefold"},
                          Case{"//b", "//bshare/tomefold"}}) {
        EXPECT_EQ(PDFCore::resourceFolderForExecutable(c.executable, "share/tomefold"), c.expected)
            << c.executable;
    }
    EXPECT_EQ(PDFCore::resourceFolderForExecutable("/usr/bin/tomefold", "/etc/tomefold"), "/etc/tomefold");
}

TEST(ResourceFolder, BuildTreeFallbackOnlyWhenInstallFolderIsMissing)
{
    const TempFolder tree;
    tree.makeFolder("install");
    tree.makeFolder("build");
    EXPECT_EQ(PDFCore::existingResourceFolder(tree.path("install"), tree.path("build")), tree.path("install"));
    EXPECT_EQ(PDFCore::existingResourceFolder(tree.path("gone"), tree.path("build")), tree.path("build"));
    EXPECT_EQ(PDFCore::existingResourceFolder(tree.path("gone"), tree.path("also-gone")), tree.path("gone"));
    EXPECT_EQ(PDFCore::existingResourceFolder(tree.path("gone"), ""), tree.path("gone"));

    const std::optional<std::string> running = PDFCore::getHomeDir();
    ASSERT_TRUE(running);
    EXPECT_FALSE(running->ends_with('/'));
}

} // namespace
