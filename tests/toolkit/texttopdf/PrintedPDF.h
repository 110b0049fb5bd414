#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <vector>

// A PDF the converter wrote, read back with Poppler to look at its pages as a reader would.
class PrintedPDF {
public:
    explicit PrintedPDF(const QString& path);

    bool isOpen() const;
    int pageCount() const;
    // Pages counted from 1; the size as shown (rotation applied).
    QSizeF pageSize(int page) const;
    // The words of the page in reading order, joined by spaces.
    QString text(int page) const;
    // The box around every word of the page, in points from the top-left corner.
    QRectF textBox(int page) const;
    // The sizes of the page's words, in reading order.
    std::vector<double> fontSizes(int page) const;

private:
    QByteArray m_bytes;
    int m_pageCount = -1;
};
