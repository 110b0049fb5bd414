#pragma once

#include "chm/search/TextIndex.h"

#include <QByteArray>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class CHMDocument;

// The full-text index of every object of one CHM file, built on a thread of its own. The thread
// belongs to the index: destroying the index stops the build and waits for it, so the build never
// outlives the document it reads.
class CHMSearchIndex {
public:
    CHMSearchIndex() = default;
    ~CHMSearchIndex();
    CHMSearchIndex(const CHMSearchIndex&) = delete;
    CHMSearchIndex& operator=(const CHMSearchIndex&) = delete;

    // Starts building from the document's objects; the document must outlive this index.
    void startBuild(const CHMDocument& document);
    bool isIndexDone() const;
    // Blocks until the build has ended (at once when none was started).
    void waitUntilDone() const;

    // Read it only once the build has ended.
    const TextIndex& textIndex() const { return m_textIndex; }

    // Folder entries, the container's own metadata objects and names that climb out of their
    // folder are not topics.
    static bool isIndexableObjectName(const QByteArray& name);
    // The text of an object: in the document's encoding, else UTF-8, else ISO Latin 1.
    static QString objectText(const QByteArray& bytes, const QString& encodingName);
    // What the index holds of an object: a page's visible text in the encoding the engine reads it
    // in; the text of a plain-text object; nothing of images, style sheets, scripts and sitemaps.
    static QString indexedText(const QString& path, const QByteArray& bytes, const CHMDocument& document);

    // Threads that read, prepare and add objects side by side.
    static unsigned preparingThreadCount();

private:
    void buildSearchIndex(const CHMDocument& document);
    TextIndex::Prepared prepareObject(const CHMDocument& document, const QByteArray& name) const;
    void markDone();

    TextIndex m_textIndex{static_cast<int>(preparingThreadCount())};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_searchIndexCondition;
    bool m_isIndexDone = true; // nothing to wait for until a build starts
    std::atomic<bool> m_stopRequested{false};
    std::thread m_thread;
};
