#pragma once

#include "chm/DocumentExportProvider.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

struct chmFile;
struct chmUnitInfo;
class CHMExporter;
namespace CHMContainerCheck {
class Reads;
}
class CHMSearchIndex;
class CHMTableOfContent;
class ConversionProgressDelegate;
class DocumentExportProvider;
struct ReaderExport;
struct TomefoldConversionOptions;
class QLabel;
class QProgressBar;
class QWidget;

// One open CHM file: the container handle, its metadata, its contents and index trees, and the
// bytes of any object inside it. Every other part of the application reaches the inside of a CHM
// file only through this class.
//
// Strings follow the null/empty distinction of the file's metadata: a null QString is "none",
// an empty one is "present but empty".
class CHMDocument {
public:
    CHMDocument();
    ~CHMDocument();
    CHMDocument(const CHMDocument&) = delete;
    CHMDocument& operator=(const CHMDocument&) = delete;

    // Opening and closing.
    bool readFromURL(const QUrl& url, const QString& typeName, QString* error = nullptr);
    bool loadMetadata();
    void setupTOCSource();
    void close();

    // Objects inside the container. A path is looked up with the bytes the container lists it by.
    bool exist(const QString& path) const;
    QByteArray content(const QString& path) const; // null when missing or empty
    // True when the file lists the object but a read of it found its data damaged (cut short, or
    // compressed data that cannot be decoded): content() gave nothing for it. Known once read.
    bool isDamagedObject(const QString& path) const;
    QString findHomeForPath(const QString& folder) const;

    // itss URLs.
    QUrl composeURL(const QString& path) const;
    QString extractPathFromURL(const QUrl& url) const;

    // Encodings: encodingName() is the file's own (or the user's choice once the export set it).
    // The file's own applies to pages that declare none; a chosen one to every page.
    QString currentEncodingName() const;
    const QString& encodingName() const { return m_encodingName; }
    void setEncodingName(const QString& name)
    {
        m_encodingName = name;
        m_encodingChosen = !name.isNull();
    }
    bool isEncodingChosen() const { return m_encodingChosen; }

    // Metadata.
    const QString& filePath() const { return m_filePath; }
    const QString& docTitle() const { return m_docTitle; }
    const QString& homePath() const { return m_homePath; }
    const QString& tocPath() const { return m_tocPath; }
    const QString& indexPath() const { return m_indexPath; }
    CHMTableOfContent* tocSource() const { return m_tocSource.get(); }
    CHMTableOfContent* indexSource() const { return m_indexSource.get(); }

    // The container handle, for enumerations; use it only while holding lock().
    chmFile* chmFileHandle() const { return m_chmFileHandle; }
    std::recursive_mutex& lock() const { return m_lock; }

    // Export road: the cancel flag shared with a running export, and the progress controls the
    // export reports to (not owned; they belong to the progress delegate's window).
    std::atomic<bool> m_isConversionCancelled{false};
    ConversionProgressDelegate* mainTomefoldAppDelegateObject = nullptr;
    QLabel* exportFilenameLabel = nullptr;
    QLabel* exportNoticeLabel = nullptr;
    QProgressBar* exportProgressIndicator = nullptr;
    QWidget* exportProgressSheet = nullptr;

    // The PDF export that the export members below run; without one they export nothing. Not
    // owned: the export's provider lives for the whole process.
    void setExportProvider(const DocumentExportProvider* provider) { m_exportProvider = provider; }

    // Exports the whole document to a PDF file; blocks until the export has ended.
    ExportReport exportToPDF(const QUrl& url, TomefoldConversionOptions* options);

    // Progress of an export in the controls above; each update runs on the main thread and
    // callers elsewhere wait for it. Absent controls are skipped.
    void exportedProgressRate(double rate, int pageIndex, const QString& title);
    void SetProgressFileNameString(const QString& text);
    void SetProgressLabelString(const QString& text);
    void SetProgressIndicator(double rate);
    void StartProgressIndicatorToIndeterminate();
    void EndProgressIndicatorToIndeterminate();
    void showExportProgressSheet();
    void endExportProgressSheet();

    // Reader road: the window's own export action asks for a destination, exports on a thread of
    // its own behind a progress sheet and ends with an alert; nothing waits for it.
    QWidget* documentWindow = nullptr;
    void exportToPDF();
    void Export(CHMExporter& exporter);
    void cancelExport();
    void exportDidEnd(int returnCode, const QUrl& url);
    bool isReaderExportRunning() const { return m_readerExport != nullptr; }

    // Reader road: the full-text index of every object, built on a thread of its own. Preparing
    // it again drops the old one; the build is stopped and waited for when the document goes.
    void prepareSearchIndex();
    const CHMSearchIndex* searchIndex() const { return skIndex.get(); }

    // The time the container checks have taken so far, on opening and before reads.
    std::chrono::nanoseconds containerCheckTime() const { return m_checkTime; }

    // Objects larger than this are not read: the size comes from the file, which is untrusted.
    static constexpr quint64 kMaxObjectSize = quint64(256) * 1024 * 1024;

private:
    void openHandle(); // of m_filePath; none when it is no complete CHM container
    void closeHandle();
    void resetMetadata();
    // Finds an object under the document's lock, by the bytes the container lists it by.
    bool resolveObject(const QString& path, chmUnitInfo& info) const;
    // True when chmlib may read the object: its compressed data is checked first (under the lock).
    bool isSafeToRetrieve(const chmUnitInfo& info) const;
    void noteDamagedObject(const QString& path) const;

    chmFile* m_chmFileHandle = nullptr;
    std::unique_ptr<CHMContainerCheck::Reads> m_checkedReads; // while the handle is open
    mutable std::chrono::nanoseconds m_checkTime{0};
    QString m_filePath;
    QString m_docTitle;
    QString m_homePath;
    QString m_tocPath;
    QString m_indexPath;
    QString m_encodingName;
    QString m_fileEncodingName; // the file's own code page, which object names may be written in
    bool m_encodingChosen = false;
    std::unique_ptr<CHMTableOfContent> m_tocSource;
    std::unique_ptr<CHMTableOfContent> m_indexSource;
    mutable std::recursive_mutex m_lock;
    mutable QSet<QString> m_damagedObjects; // object paths as content() looks them up; under m_lock

    const DocumentExportProvider* m_exportProvider = nullptr;
    void startReaderExport(const QUrl& url);
    void readerExportEnded();
    std::shared_ptr<ReaderExport> m_readerExport;
    std::unique_ptr<CHMSearchIndex> skIndex;
};
