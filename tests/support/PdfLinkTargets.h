#pragma once

#include <QByteArray>

#include <optional>
#include <ostream>
#include <vector>

// Where the internal links of a PDF lead when a reader follows them through Poppler.
namespace PdfLinkTargets {

struct Target {
    int page = -1; // index in the document
    double left = 0;
    double top = 0;
    // Spelled out: the sanitizer build compiles the tests that reach qpdf as C++17.
    bool operator==(const Target& other) const
    {
        return page == other.page && left == other.left && top == other.top;
    }
};

inline void PrintTo(const Target& target, std::ostream* out)
{
    *out << "page " << target.page << " at (" << target.left << ", " << target.top << ")";
}

// For every page in order, its links that jump within the document (their /Dest or GoTo action),
// in the order of its annotations: where each one leads, or nothing when its place is not found.
// Links with any other action are left out.
std::vector<std::vector<std::optional<Target>>> ofPages(const QByteArray& pdf);

} // namespace PdfLinkTargets
