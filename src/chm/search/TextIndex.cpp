// Before any Qt header: the search library uses names that Qt defines as keywords.
#include <xapian.h>

#include "chm/search/TextIndex.h"

#include <QCryptographicHash>

#include <algorithm>
#include <functional>
#include <mutex>
#include <vector>

namespace {

// Xapian refuses terms longer than this many bytes.
constexpr std::size_t kMaxTermLength = 240;

std::string toStd(const QString& text)
{
    return text.toStdString();
}

} // namespace

// The in-memory backend adds one document at a time, and adding is the costly part of a build:
// several shards take documents side by side, and searches run over all of them as one. A URL
// always goes to the same shard, so that a new text replaces the old one.
struct TextIndex::Database {
    struct Shard {
        Xapian::WritableDatabase database{std::string(), Xapian::DB_BACKEND_INMEMORY};
        std::mutex mutex;
    };

    explicit Database(int shardCount) : shards(static_cast<std::size_t>(std::max(shardCount, 1)))
    {
        for (std::unique_ptr<Shard>& shard : shards)
            shard = std::make_unique<Shard>();
    }

    Shard& shardOf(const std::string& uniqueTerm) const
    {
        return *shards[std::hash<std::string>{}(uniqueTerm) % shards.size()];
    }

    Xapian::Database all() const
    {
        Xapian::Database combined;
        for (const std::unique_ptr<Shard>& shard : shards)
            combined.add_database(shard->database);
        return combined;
    }

    std::vector<std::unique_ptr<Shard>> shards;
};

TextIndex::TextIndex(int shardCount) : m_database(std::make_unique<Database>(shardCount)) {}

TextIndex::~TextIndex() = default;

std::string TextIndex::uniqueTerm(const QUrl& url)
{
    std::string term = "Q" + url.toString(QUrl::FullyEncoded).toStdString();
    if (term.size() <= kMaxTermLength)
        return term;
    // Very long URLs are keyed by a digest so that they still replace their earlier entry.
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(term), QCryptographicHash::Sha256);
    return "QH" + digest.toHex().toStdString();
}

struct TextIndex::Prepared::Data {
    Xapian::Document document;
    std::string uniqueTerm;
};

TextIndex::Prepared::Prepared() = default;
TextIndex::Prepared::~Prepared() = default;
TextIndex::Prepared::Prepared(Prepared&&) noexcept = default;
TextIndex::Prepared& TextIndex::Prepared::operator=(Prepared&&) noexcept = default;

bool TextIndex::Prepared::isValid() const
{
    return m_data != nullptr;
}

TextIndex::Prepared TextIndex::prepareDocument(const QUrl& url, const QString& text)
{
    Prepared prepared;
    try {
        auto data = std::make_unique<Prepared::Data>();
        data->document.set_data(url.toString(QUrl::FullyEncoded).toStdString());
        data->uniqueTerm = uniqueTerm(url);
        data->document.add_boolean_term(data->uniqueTerm);
        Xapian::TermGenerator generator;
        generator.set_document(data->document);
        generator.index_text(toStd(text));
        prepared.m_data = std::move(data);
    } catch (const Xapian::Error&) {
    }
    return prepared;
}

bool TextIndex::addDocument(const QUrl& url, const QString& text)
{
    return addDocument(prepareDocument(url, text));
}

bool TextIndex::addDocument(Prepared prepared)
{
    if (!prepared.isValid())
        return false;
    try {
        Database::Shard& shard = m_database->shardOf(prepared.m_data->uniqueTerm);
        const std::lock_guard guard(shard.mutex);
        shard.database.replace_document(prepared.m_data->uniqueTerm, prepared.m_data->document);
        return true;
    } catch (const Xapian::Error&) {
        return false;
    }
}

bool TextIndex::containsDocument(const QUrl& url) const
{
    const std::string term = uniqueTerm(url);
    return m_database->shardOf(term).database.term_exists(term);
}

int TextIndex::documentCount() const
{
    Xapian::doccount count = 0;
    for (const std::unique_ptr<Database::Shard>& shard : m_database->shards)
        count += shard->database.get_doccount();
    return static_cast<int>(count);
}

QList<TextIndex::Match> TextIndex::search(const QString& query) const
{
    QList<Match> matches;
    try {
        const Xapian::Database database = m_database->all();
        Xapian::QueryParser parser;
        parser.set_database(database);
        Xapian::Enquire enquire(database);
        enquire.set_query(parser.parse_query(toStd(query)));
        // A batch that takes longer than this gives the matches found by then.
        enquire.set_time_limit(kBatchTimeLimitSeconds);
        for (Xapian::doccount first = 0;; first += kBatchSize) {
            const Xapian::MSet batch = enquire.get_mset(first, kBatchSize);
            for (auto it = batch.begin(); it != batch.end(); ++it) {
                const QUrl url(QString::fromStdString(it.get_document().get_data()), QUrl::StrictMode);
                matches.append({url, static_cast<float>(it.get_percent()) / 100.0F});
            }
            if (batch.size() < static_cast<Xapian::doccount>(kBatchSize))
                break;
        }
    } catch (const Xapian::Error&) {
        // A query the parser refuses finds nothing; a failure later keeps the matches found so far.
    }
    return matches;
}
