#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// PDF files the mixed-list tests write for themselves with qpdf, and what they read back of the PDFs
// the runners write.
namespace FileListFixtures {

struct PDFSpec {
    int pages = 1;
    int rotation = 0;     // on every page
    QString userPassword; // encrypted when either password is set
    QString ownerPassword;
    bool allowPrinting = true;
    QStringList outlineTitles; // one top-level entry per title, the n-th on page n (wrapping)
    bool nestOutline = false;  // the entries after the first hang beneath the first
};

bool writePDF(const QString& path, const PDFSpec& spec);

struct OutlineEntry {
    QString title;
    int page = -1; // index from 0; -1 when it opens no page
    std::vector<OutlineEntry> children;
};

// Read with qpdf; an unreadable file gives no pages.
int pageCount(const QString& path, const QString& password = {});
std::vector<int> rotations(const QString& path);
std::vector<OutlineEntry> outline(const QString& path);

} // namespace FileListFixtures
