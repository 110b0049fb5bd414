#include "toolkit/text/ZipPackage.h"

#include "toolkit/text/TextReadLimits.h"

#include <zip.h>

#include <cstdio>

namespace {

QString ZipErrorText(zip_error_t* error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

} // namespace

ZipPackageReader::ZipPackageReader(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
}

ZipPackageReader::~ZipPackageReader()
{
    if (m_archive)
        zip_discard(m_archive);
}

std::unique_ptr<ZipPackageReader> ZipPackageReader::open(const QByteArray& bytes, QString* error)
{
    std::unique_ptr<ZipPackageReader> reader(new ZipPackageReader(bytes));
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(reader->m_bytes.constData(),
                                                    static_cast<zip_uint64_t>(reader->m_bytes.size()), 0, &zipError);
    if (!source) {
        if (error)
            *error = ZipErrorText(&zipError);
        zip_error_fini(&zipError);
        return nullptr;
    }
    reader->m_archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
    if (!reader->m_archive) {
        if (error)
            *error = QStringLiteral("not a zip package: ") + ZipErrorText(&zipError);
        zip_source_free(source);
        zip_error_fini(&zipError);
        return nullptr;
    }
    zip_error_fini(&zipError);
    if (zip_get_num_entries(reader->m_archive, 0) > TextReadLimits::kMaxZipEntries) {
        if (error)
            *error = QStringLiteral("too many entries in the package");
        return nullptr;
    }
    return reader;
}

bool ZipPackageReader::contains(const QString& name) const
{
    return zip_name_locate(m_archive, name.toUtf8().constData(), 0) >= 0;
}

std::optional<QByteArray> ZipPackageReader::read(const QString& name, QString* error)
{
    auto fail = [&](const QString& why) -> std::optional<QByteArray> {
        if (error)
            *error = why + QStringLiteral(": ") + name;
        return std::nullopt;
    };
    const zip_int64_t index = zip_name_locate(m_archive, name.toUtf8().constData(), 0);
    if (index < 0)
        return fail(QStringLiteral("missing entry"));
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(m_archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0
        || !(stat.valid & ZIP_STAT_SIZE))
        return fail(QStringLiteral("unreadable entry"));
    const auto size = static_cast<qint64>(stat.size);
    if (size < 0 || size > TextReadLimits::kMaxZipEntryBytes || m_totalRead + size > TextReadLimits::kMaxZipTotalBytes)
        return fail(QStringLiteral("entry too large"));
    zip_file_t* file = zip_fopen_index(m_archive, static_cast<zip_uint64_t>(index), 0);
    if (!file)
        return fail(QStringLiteral("unreadable entry"));
    QByteArray data;
    data.resize(static_cast<qsizetype>(size));
    qint64 done = 0;
    bool ok = true;
    while (done < size) {
        const zip_int64_t got = zip_fread(file, data.data() + done, static_cast<zip_uint64_t>(size - done));
        if (got <= 0) {
            ok = false;
            break;
        }
        done += got;
    }
    // the declared size must be the real one: one byte more is a lie
    char extra = 0;
    if (ok && zip_fread(file, &extra, 1) != 0)
        ok = false;
    zip_fclose(file);
    if (!ok)
        return fail(QStringLiteral("damaged entry"));
    m_totalRead += size;
    return data;
}

void ZipPackageWriter::add(const QString& name, const QByteArray& data, bool stored)
{
    m_entries.push_back({name, data, stored});
}

QByteArray ZipPackageWriter::finish(QString* error) const
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        zip_error_fini(&zipError);
        return QByteArray();
    };
    zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &zipError);
    if (!target)
        return fail(ZipErrorText(&zipError));
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &zipError);
    if (!archive) {
        zip_source_free(target);
        return fail(ZipErrorText(&zipError));
    }
    zip_source_keep(target);
    for (const Entry& entry : m_entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.data.constData(),
                                                 static_cast<zip_uint64_t>(entry.data.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, entry.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            const QString why = QString::fromUtf8(zip_strerror(archive));
            zip_discard(archive);
            zip_source_free(target);
            return fail(why);
        }
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    }
    if (zip_close(archive) != 0) {
        const QString why = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        zip_source_free(target);
        return fail(why);
    }
    QByteArray bytes;
    if (zip_source_open(target) == 0) {
        zip_source_seek(target, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(target);
        zip_source_seek(target, 0, SEEK_SET);
        if (size > 0) {
            bytes.resize(static_cast<qsizetype>(size));
            if (zip_source_read(target, bytes.data(), static_cast<zip_uint64_t>(size)) != size)
                bytes.clear();
        }
        zip_source_close(target);
    }
    zip_source_free(target);
    zip_error_fini(&zipError);
    if (bytes.isEmpty() && error)
        *error = QStringLiteral("the package could not be written");
    return bytes;
}
