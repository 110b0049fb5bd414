#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <memory>

class FileListController;

// Adds files and folders to the list, each request on a thread of its own. Requests take one
// lock for their whole run, so additions land one at a time and each one's rows stay together;
// the file-system work happens on the request's thread, and the list and table change on the
// main thread while that thread waits. The main thread's own list edits never take the lock.
class FileListAdder : public QObject {
    Q_OBJECT

public:
    // Dropped file URLs of the controller's model are added as they arrive.
    explicit FileListAdder(FileListController& controller, QObject* parent = nullptr);
    ~FileListAdder() override;

    // One addition from the add-files dialog, with its two choices.
    void startAddition(const QList<QUrl>& urls, bool maintainDirTree, bool addRecursive);

    // Files opened with the application or dropped on the list: every CHM file at any depth.
    void AddUrlsIntoImageListViewViaOpenFiles(const QList<QUrl>& urls);

    // Paths given to the application (its command line); an empty path is skipped.
    void openFiles(const QStringList& paths);

signals:
    // One addition is over (whether or not it added rows); emitted on the main thread.
    void additionFinished();
    // Some of what one addition was given gave no row; emitted on the main thread after
    // additionFinished, with the texts to tell the user.
    void entriesLeftOut(const QString& title, const QString& message);

private:
    struct SharedState;

    static void AddUrlsIntoImageListView(const std::shared_ptr<SharedState>& state, const QList<QUrl>& urls,
                                         bool maintainDirTree, bool addRecursive, qint64 fromIndex);

    std::shared_ptr<SharedState> state_;
};
