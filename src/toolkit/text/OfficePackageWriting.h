#pragma once

#include "toolkit/text/TextDocumentWalk.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

class QTextDocument;
class QTextList;
class QXmlStreamWriter;
class ZipPackageWriter;

// What the writers of zipped XML word-processing packages (.docx, .odt) do alike: small XML
// parts, pictures as PNG entries, links around a paragraph's runs, and numbered lists.
namespace OfficePackageWriting {

enum class Standalone {
    No,
    Yes
};

// A whole XML part: the declaration (standalone="yes" where asked), what write puts in, the end.
QByteArray XmlPart(const std::function<void(QXmlStreamWriter&)>& write, Standalone standalone = Standalone::No);

// A picture run as PNG bytes and its size in points: the format's size, else one point a pixel.
struct RunPicture {
    QByteArray png;
    double width = 0;
    double height = 0;
};
// Nothing when the document holds no picture that decodes under the run's name.
std::optional<RunPicture> PictureOfRun(const QTextDocument& document, const TextDocumentWalk::TextRun& run);

// The PNG pictures a package holds, in one folder of it, named image1.png, image2.png, ... in the
// order they are added.
class PackagePictures {
public:
    explicit PackagePictures(QString folder); // ends with '/'

    // The picture's name in the folder.
    QString add(const QByteArray& png);
    QString pathOf(const QString& name) const { return m_folder + name; }
    qsizetype size() const { return static_cast<qsizetype>(m_pictures.size()); }
    void clear() { m_pictures.clear(); }
    // Paths in the package, in the order added.
    QStringList paths() const;
    // Stored, not deflated: PNG is compressed already.
    void addTo(ZipPackageWriter& package) const;

private:
    QString m_folder;
    std::vector<std::pair<QString, QByteArray>> m_pictures; // name, PNG
};

// Whether a character of a run is written as text: not control characters, non-characters, nor
// the object replacement character a picture stands on.
bool IsWrittenCharacter(QChar c);

// A paragraph's runs in order; openLink starts a link element where a run's link begins, and it
// is ended where the link changes or the paragraph ends.
void WriteLinkedRuns(QXmlStreamWriter& xml, const QTextBlock& block,
                     const std::function<void(const QString& href)>& openLink,
                     const std::function<void(const TextDocumentWalk::TextRun& run)>& writeRun);

// An entry of a package: deflated unless stored is asked.
struct PackagePart {
    QString name;
    QByteArray bytes;
    bool stored = false;
};

// The zipped package: the parts in the order given, then the pictures. Empty on failure.
QByteArray ZipParts(std::initializer_list<PackagePart> parts, const PackagePictures& pictures,
                    QString* error = nullptr);

// The lists of a document numbered from 1 in the order they are first met.
class ListNumbers {
public:
    int number(const QTextList* list);
    const QList<const QTextList*>& lists() const { return m_lists; }

private:
    QList<const QTextList*> m_lists;
};

} // namespace OfficePackageWriting
