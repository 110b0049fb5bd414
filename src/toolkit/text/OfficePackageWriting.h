#pragma once

#include "toolkit/text/TextDocumentWalk.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QTextDocument;
class QTextList;
class QXmlStreamWriter;

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

// A paragraph's runs in order; openLink starts a link element where a run's link begins, and it
// is ended where the link changes or the paragraph ends.
void WriteLinkedRuns(QXmlStreamWriter& xml, const QTextBlock& block,
                     const std::function<void(const QString& href)>& openLink,
                     const std::function<void(const TextDocumentWalk::TextRun& run)>& writeRun);

// The lists of a document numbered from 1 in the order they are first met.
class ListNumbers {
public:
    int number(const QTextList* list);
    const QList<const QTextList*>& lists() const { return m_lists; }

private:
    QList<const QTextList*> m_lists;
};

} // namespace OfficePackageWriting
