#pragma once

#include "app/AppDelegate.h"
#include "app/filelist/FileListAdder.h"
#include "support/AlertAnswerer.h"
#include "app/support/UserActions.h"
#include "app/window/MainWindow.h"
#include "support/RecordingDesktop.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <optional>

// The application's window over an empty preferences folder, with the folder chooser, the desktop
// and the notifications replaced by recorders.
class WindowTestFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        openWindow();
    }

    void TearDown() override
    {
        delegate.reset();
    }

    void openWindow()
    {
        delegate.reset();
        delegate = std::make_unique<AppDelegate>();
        delegate->setExportFolderChooser([this](QWidget*, QWidget* accessory) {
            ++chooserRuns;
            chooserAccessory = accessory;
            return chosenFolder;
        });
        delegate->setNotificationPoster([this](const QString& title, const QString&) { notifications << title; });
        delegate->mainWindow()->show();
        delegate->mainWindow()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->mainWindow()));
    }

    // Adds as files opened with the application are added; returns once the rows are in.
    void addFiles(const QStringList& paths)
    {
        QSignalSpy added(&delegate->fileListAdder(), &FileListAdder::additionFinished);
        delegate->openFiles(paths);
        ASSERT_TRUE(added.wait(60000));
    }

    // Adds a folder kept whole, as the add-files dialog does with the folder structure kept.
    void addKeptFolder(const QString& path)
    {
        QSignalSpy added(&delegate->fileListAdder(), &FileListAdder::additionFinished);
        delegate->fileListAdder().startAddition({QUrl::fromLocalFile(path)}, true, false);
        ASSERT_TRUE(added.wait(60000));
    }

    // Triggers an export command and waits until its batch has ended (final alert answered).
    void runBatch(QAction* command)
    {
        QSignalSpy finished(delegate.get(), &AppDelegate::batchFinished);
        command->trigger();
        ASSERT_TRUE(delegate->isBatchRunning());
        ASSERT_TRUE(finished.wait(120000));
    }

    void chooseDestination(const QString& folder) { chosenFolder = QUrl::fromLocalFile(folder); }

    const WindowActions& actions() const { return delegate->actions(); }

    ScopedConfigHome config;
    RecordingDesktop desktop;
    std::unique_ptr<AppDelegate> delegate;
    std::optional<QUrl> chosenFolder;
    int chooserRuns = 0;
    QWidget* chooserAccessory = nullptr;
    QStringList notifications;
};
