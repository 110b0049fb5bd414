#include "app/filelist/FileListAdder.h"

#include "app/filelist/FileListAddition.h"
#include "app/filelist/FileListController.h"
#include "app/filelist/FileListModel.h"
#include "app/filelist/LeftOutEntries.h"
#include "platform/MainThread.h"

#include <QDir>
#include <QPointer>

#include <mutex>
#include <thread>

// Shared with the request threads, which may outlive the adder: they reach it only on the
// main thread, through a guarded pointer that its destruction clears.
struct FileListAdder::SharedState {
    std::mutex additionLock;
    QPointer<FileListAdder> adder;
    QPointer<FileListController> controller;
};

FileListAdder::FileListAdder(FileListController& controller, QObject* parent)
    : QObject(parent)
    , state_(std::make_shared<SharedState>())
{
    state_->adder = this;
    state_->controller = &controller;
    connect(&controller.model(), &FileListModel::filesDropped, this,
            &FileListAdder::AddUrlsIntoImageListViewViaOpenFiles);
}

FileListAdder::~FileListAdder() = default;

void FileListAdder::startAddition(const QList<QUrl>& urls, bool maintainDirTree, bool addRecursive)
{
    // The index is the list's size at the time of asking; new rows still go after whatever
    // rows exist when the addition takes effect.
    const qint64 fromIndex = state_->controller.isNull() ? 0 : state_->controller->model().numberOfRows();
    std::thread(AddUrlsIntoImageListView, state_, urls, maintainDirTree, addRecursive, fromIndex).detach();
}

void FileListAdder::AddUrlsIntoImageListViewViaOpenFiles(const QList<QUrl>& urls)
{
    startAddition(urls, false, true);
}

void FileListAdder::openFiles(const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths) {
        if (!path.isEmpty())
            urls.append(QUrl::fromLocalFile(QDir::cleanPath(QDir::current().absoluteFilePath(path))));
    }
    AddUrlsIntoImageListViewViaOpenFiles(urls);
}

void FileListAdder::AddUrlsIntoImageListView(const std::shared_ptr<SharedState>& state, const QList<QUrl>& urls,
                                             bool maintainDirTree, bool addRecursive, qint64 /*fromIndex*/)
{
    const std::lock_guard additionIsOurs(state->additionLock);
    PendingFileListItems pending;
    qint64 index = 0;
    AddUrlsObjIntoArray(pending, urls, maintainDirTree, addRecursive, index);

    runOnMainAndWait([&state, &pending] {
        FileListAdder* adder = state->adder.data();
        if (adder == nullptr || state->controller.isNull())
            return;
        state->controller->appendAddedItems(pending);
        emit adder->additionFinished();
        if (const std::optional<LeftOutAlert> alert = LeftOutAlertFor(pending))
            emit adder->entriesLeftOut(alert->title, alert->message);
    });
}
