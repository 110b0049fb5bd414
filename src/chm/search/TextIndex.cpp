// Before any Qt header: the search library uses names that Qt defines as keywords.
#include <xapian.h>

#include "chm/search/TextIndex.h"

#include <QCryptographicHash>

namespace {

// Xapian refuses terms longer than this many bytes.
constexpr std::size_t kMaxTermLength = 240;

std::string toStd(const QString& text)
{
    return text.toStdString();
}

} // namespace

struct TextIndex::Database {
    Xapian::WritableDatabase database{std::string(), Xapian::DB_BACKEND_INMEMORY};
};

TextIndex::TextIndex() : m_database(std::make_unique<Database>()) {}

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

bool TextIndex::addDocument(const QUrl& url, const QString& text)
{
    try {
        Xapian::Document document;
        document.set_data(url.toString(QUrl::FullyEncoded).toStdString());
        const std::string term = uniqueTerm(url);
        document.add_boolean_term(term);
        Xapian::TermGenerator generator;
        generator.set_document(document);
        generator.index_text(toStd(text));
        m_database->database.replace_document(term, document);
        return true;
    } catch (const Xapian::Error&) {
        return false;
    }
}

bool TextIndex::containsDocument(const QUrl& url) const
{
    return m_database->database.term_exists(uniqueTerm(url));
}

int TextIndex::documentCount() const
{
    return static_cast<int>(m_database->database.get_doccount());
}

QList<TextIndex::Match> TextIndex::search(const QString& query) const
{
    QList<Match> matches;
    try {
        Xapian::QueryParser parser;
        parser.set_database(m_database->database);
        Xapian::Enquire enquire(m_database->database);
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
