#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>
#include <string>

// An in-memory full-text index of texts keyed by URL. Several threads may add documents at once;
// nobody reads it while it is written.
class TextIndex {
public:
    struct Match {
        QUrl url;
        float score = 0.0F; // relevance, 0 to 1
    };

    // With more shards, more threads can add documents side by side.
    explicit TextIndex(int shardCount = 1);
    ~TextIndex();
    TextIndex(const TextIndex&) = delete;
    TextIndex& operator=(const TextIndex&) = delete;

    // A text with its terms, made ready to go into an index. Making it is the costly part of
    // indexing; any thread may make one, for one index at a time to take.
    class Prepared {
    public:
        Prepared();
        ~Prepared();
        Prepared(Prepared&&) noexcept;
        Prepared& operator=(Prepared&&) noexcept;
        bool isValid() const;

    private:
        friend class TextIndex;
        struct Data;
        std::unique_ptr<Data> m_data;
    };
    // Invalid when the search library refused the text.
    static Prepared prepareDocument(const QUrl& url, const QString& text);

    // Indexes the text under the URL, replacing what was indexed under it before; false when the
    // index refused it.
    bool addDocument(const QUrl& url, const QString& text);
    bool addDocument(Prepared prepared);
    bool containsDocument(const QUrl& url) const;
    int documentCount() const;

    // Every match of the query (the default query syntax: words, quoted phrases, AND, OR, NOT, ...),
    // most relevant first. A query that cannot be parsed matches nothing.
    QList<Match> search(const QString& query) const;

    // Matches are asked of the database this many at a time.
    static constexpr int kBatchSize = 10;
    static constexpr double kBatchTimeLimitSeconds = 1.0;

private:
    static std::string uniqueTerm(const QUrl& url);

    // The search library is kept out of this header: its names clash with Qt's keywords.
    struct Database;
    std::unique_ptr<Database> m_database;
};
