// Opens a CHM file the way the batch conversion does and prints what it found, one key=value per
// line, with the time the open took.

#include "chm/CHMDocument.h"
#include "chm/CHMTableOfContent.h"

#include <QElapsedTimer>
#include <QString>
#include <QUrl>

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "usage: chm-info [--no-page-list] FILE.chm\n"
    "\n"
    "Opens FILE.chm (container, metadata, contents and index trees) and prints:\n"
    "  title=          document title (empty when none)\n"
    "  encoding=       code page from the file's locale (empty when none)\n"
    "  home=           home topic path\n"
    "  toc=, index=    sitemap paths\n"
    "  toc_entries=    entries in the contents tree\n"
    "  index_entries=  entries in the index tree\n"
    "  pages=          number of distinct pages in the contents' page list\n"
    "  page=           one line per page-list entry, in order (left out with --no-page-list)\n"
    "  open_ms=        milliseconds the open took\n"
    "  check_ms=       of them, milliseconds the container checks took (on opening and before reads)\n"
    "  check_ratio=    open time with the checks divided by the open time without them\n"
    "Exits 1 with a one-line message when the file does not open as a CHM file.\n";

void print(const char* key, const QString& value)
{
    std::printf("%s=%s\n", key, value.toUtf8().constData());
}

qsizetype countEntries(const LinkItem& item)
{
    qsizetype count = 0;
    for (const LinkItemPtr& child : item.children())
        count += 1 + countEntries(*child);
    return count;
}

qsizetype entriesOf(const CHMTableOfContent* tree)
{
    return tree != nullptr ? countEntries(*tree->rootItems()) : 0;
}

} // namespace

int main(int argc, char** argv)
{
    bool listPages = true;
    const char* file = nullptr;
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--no-page-list") == 0) {
            listPages = false;
        } else {
            file = argv[i];
            ++files;
        }
    }
    if (files != 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    CHMDocument document;
    QElapsedTimer timer;
    timer.start();
    const bool opened = document.readFromURL(QUrl::fromLocalFile(QString::fromLocal8Bit(file)), QStringLiteral("CHM"));
    const double openMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (!opened) {
        std::fprintf(stderr, "chm-info: %s does not open as a CHM file\n", file);
        return 1;
    }

    print("title", document.docTitle());
    print("encoding", document.encodingName());
    print("home", document.homePath());
    print("toc", document.tocPath());
    print("index", document.indexPath());
    std::printf("toc_entries=%lld\n", static_cast<long long>(entriesOf(document.tocSource())));
    std::printf("index_entries=%lld\n", static_cast<long long>(entriesOf(document.indexSource())));
    const LinkItemList pages = document.tocSource() != nullptr ? document.tocSource()->pageList() : LinkItemList();
    std::printf("pages=%lld\n", static_cast<long long>(pages.size()));
    if (listPages) {
        for (const LinkItemPtr& page : pages)
            print("page", page->path());
    }
    const double checkMs = static_cast<double>(document.containerCheckTime().count()) / 1e6;
    std::printf("open_ms=%.1f\n", openMs);
    std::printf("check_ms=%.1f\n", checkMs);
    std::printf("check_ratio=%.3f\n", openMs > checkMs ? openMs / (openMs - checkMs) : 0.0);
    return 0;
}
