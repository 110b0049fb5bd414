#include "platform/DesktopOpener.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

// A desktop of the test's own making, with no session to answer: the opener finds the program for
// PDF files from the desktop entries in a private data folder and runs it itself, as it does on a
// machine with no desktop environment. The variables it reads are put back afterwards.
class PrivateDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home.isValid());
        if (DesktopOpener::program().isEmpty())
            GTEST_SKIP() << "xdg-open is not installed";
        QDir(home.path()).mkpath("data/applications");
        QDir(home.path()).mkpath("config");
        set("XDG_CURRENT_DESKTOP", "X-Generic");
        set("DISPLAY", ":99");
        set("HOME", home.path());
        set("XDG_DATA_HOME", home.filePath("data"));
        set("XDG_CONFIG_HOME", home.filePath("config"));
        set("XDG_DATA_DIRS", home.filePath("nothing"));
        set("BROWSER", "false"); // no web browser of the machine may stand in for a viewer
        document = home.filePath("manual.pdf");
        writeFile(document, "%PDF-1.4\n%%EOF\n");
    }

    void TearDown() override
    {
        for (const auto& [name, value] : saved) {
            if (value)
                qputenv(name.constData(), *value);
            else
                qunsetenv(name.constData());
        }
    }

    void set(const char* name, const QString& value)
    {
        if (!saved.contains(name))
            saved[name] = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        qputenv(name, value.toLocal8Bit());
    }

    static void writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }

    // A PDF viewer whose run ends with the script's last lines; it notes the file it was given.
    void installViewer(const QByteArray& ending)
    {
        const QString viewer = home.filePath("viewer.sh");
        writeFile(viewer, "#!/bin/sh\necho \"$1\" > \"" + home.filePath("opened").toLocal8Bit() + "\"\n" + ending, true);
        writeFile(home.filePath("data/applications/tomefold-test-viewer.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Test Viewer\nExec=" + viewer.toLocal8Bit()
                      + " %f\nMimeType=application/pdf;\n");
        writeFile(home.filePath("config/mimeapps.list"),
                  "[Default Applications]\napplication/pdf=tomefold-test-viewer.desktop\n");
    }

    QString openedByViewer() const
    {
        QFile file(home.filePath("opened"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()).trimmed() : QString();
    }

    std::optional<bool> open()
    {
        std::optional<bool> result;
        DesktopOpener::open(document, [&result](bool opened) { result = opened; });
        // Bounded only so that a broken opener fails the test instead of hanging it.
        EXPECT_TRUE(QTest::qWaitFor([&result] { return result.has_value(); }, 60000));
        return result;
    }

    QTemporaryDir home;
    QString document;
    std::map<QByteArray, std::optional<QByteArray>> saved;
};

TEST_F(PrivateDesktop, AViewerThatStartedOpenedTheFileHoweverItsRunEnded)
{
    installViewer("exit 0\n");
    EXPECT_EQ(open(), std::optional(true));
    EXPECT_EQ(openedByViewer(), document);

    // Closed by force: the opener, which waited for it, then reports a failure of its own.
    QFile::remove(home.filePath("opened"));
    installViewer("kill -9 $$\n");
    EXPECT_EQ(open(), std::optional(true));
    EXPECT_EQ(openedByViewer(), document);

    // Ended with an error of its own (a viewer tells the user about a file it cannot show).
    installViewer("exit 1\n");
    EXPECT_EQ(open(), std::optional(true));
}

TEST_F(PrivateDesktop, NoProgramForTheFileIsAFailure)
{
    EXPECT_EQ(open(), std::optional(false));
    EXPECT_TRUE(openedByViewer().isEmpty());
}

TEST_F(PrivateDesktop, NoOpenerIsAFailure)
{
    installViewer("exit 0\n");
    set("PATH", home.filePath("nothing"));
    EXPECT_EQ(open(), std::optional(false));
    EXPECT_TRUE(openedByViewer().isEmpty());
}

} // namespace
