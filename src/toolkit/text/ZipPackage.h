#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct zip;

// Zip packages of office documents, read from memory with the readers' bounds (TextReadLimits):
// entry count, inflated size of an entry and of all entries read. Entries
// are read by name; a bound broken, a damaged entry or a bad checksum gives nothing.
class ZipPackageReader {
public:
    ~ZipPackageReader();
    ZipPackageReader(const ZipPackageReader&) = delete;
    ZipPackageReader& operator=(const ZipPackageReader&) = delete;

    static std::unique_ptr<ZipPackageReader> open(const QByteArray& bytes, QString* error = nullptr);

    bool contains(const QString& name) const;
    std::optional<QByteArray> read(const QString& name, QString* error = nullptr);

private:
    explicit ZipPackageReader(QByteArray bytes);

    QByteArray m_bytes;
    zip* m_archive = nullptr;
    qint64 m_totalRead = 0;
};

// A zip package built in memory: entries in the order added, deflated unless stored is asked.
class ZipPackageWriter {
public:
    void add(const QString& name, const QByteArray& data, bool stored = false);
    // The package's bytes; empty on failure.
    QByteArray finish(QString* error = nullptr) const;

private:
    struct Entry {
        QString name;
        QByteArray data;
        bool stored;
    };
    std::vector<Entry> m_entries;
};
