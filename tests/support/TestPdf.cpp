#include "support/TestPdf.h"

namespace TestPdf {

QByteArray build(const QList<QByteArray>& objects)
{
    QByteArray out("%PDF-1.4\n");
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(out.size());
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
           + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

QByteArray stream(const QByteArray& data, const QByteArray& extraEntries)
{
    return "<< /Length " + QByteArray::number(data.size()) + " " + extraEntries + " >>\nstream\n" + data
           + "\nendstream";
}

QByteArray helveticaPages(const QList<QByteArray>& contents)
{
    // 1 catalog, 2 pages, 3 font, then a page and its content for each page.
    QList<QByteArray> objects{"<< /Type /Catalog /Pages 2 0 R >>", QByteArray(),
                              "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
    QByteArray kids;
    for (const QByteArray& content : contents) {
        const int page = static_cast<int>(objects.size()) + 1;
        kids += QByteArray::number(page) + " 0 R ";
        objects.append("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents "
                       + QByteArray::number(page + 1) + " 0 R /Resources << /Font << /F1 3 0 R >> >> >>");
        objects.append(stream(content));
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(contents.size()) + " >>";
    return build(objects);
}

} // namespace TestPdf
