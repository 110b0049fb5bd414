#pragma once

#include "support/StubProgressDelegate.h"
#include "toolkit/helpers/ImageTypeCodes.h"
#include "toolkit/options/FilesToPDFConversionOptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <vector>

// A folder of a test's source files, with a destination folder inside it, and the list items that
// name them.
class FileListTestFolder {
public:
    FileListTestFolder() { QDir(m_dir.path()).mkdir(QStringLiteral("out")); }

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }
    QString outPath(const QString& name) const { return path(QStringLiteral("out/") + name); }
    QUrl outFolder() const { return url(QStringLiteral("out")); }
    QStringList outFiles() const
    {
        return QDir(path(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QString write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return name;
    }

    ConversionListItem item(const QString& name, int type, const QVariantMap& more = {}) const
    {
        ConversionListItem item = more;
        item.insert(ConversionListKey::FilePath, url(name));
        item.insert(ConversionListKey::FileType, type);
        return item;
    }

private:
    QTemporaryDir m_dir;
};

// Letter paper with half-inch margins, every outline entry asked for.
inline FilesToPDFConversionOptions LetterOptions(const ConversionList& items, const QUrl& destination)
{
    FilesToPDFConversionOptions options;
    options.items = items;
    options.destinationURL = destination;
    options.pageWidth = 612;
    options.pageHeight = 792;
    options.leftMargin = options.rightMargin = options.topMargin = options.bottomMargin = 36;
    options.addOutlineEntries = 1;
    // Images go on their pages as JPEG, at their own size.
    options.imageOutputType = ImageType::JPEG;
    options.imageQuality = 0.8;
    options.scalePercent = 100;
    return options;
}

// Records the progress numbers; answers "cancelled" once the given number of items has started.
class ListProgress : public StubProgressDelegate {
public:
    explicit ListProgress(int cancelAfter = -1)
        : m_cancelAfter(cancelAfter)
    {}
    void report(long value)
    {
        values.push_back(value);
        if (value == 3 && ++m_started == m_cancelAfter)
            cancel = true;
    }
    ProgressCallbackInfo target() { return {this, static_cast<ProgressCallbackInfo::Selector>(&ListProgress::report)}; }

    std::vector<long> values;

private:
    int m_cancelAfter;
    int m_started = 0;
};
