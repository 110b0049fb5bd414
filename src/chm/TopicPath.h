#pragma once

#include <QString>

// How topic paths written in sitemaps are compared. chmlib finds objects without regard to case,
// and a sitemap may write the same object with or without a leading slash, with percent escapes or
// with a fragment; all of those name one page, while "a.htm" and "a.html" name two.
namespace TopicPath {

// The object a path names, as a comparison key: fragment and query dropped, leading slashes
// collapsed, "." and ".." segments resolved, percent escapes decoded (UTF-8), case folded.
// Empty for an empty path.
QString pageKey(const QString& path);

// True when both paths name the same object (an empty path names none).
bool isSamePage(const QString& a, const QString& b);

// True when a node whose path is `nodePath` answers a lookup of `lookup`: ignoring case and leading
// slashes, the node path is the lookup itself or the lookup followed by a fragment or a query.
// So "a.htm" finds "a.htm#part2" but not "a.html", and "a.htm#x" finds only "a.htm#x".
bool matchesLookup(const QString& nodePath, const QString& lookup);

// The form of a path that its itss URL serves: leading slashes dropped. "/x.htm" would compose to
// "itss://chm//x.htm", which names no object.
QString loadablePath(const QString& path);

// The path with what is not allowed in a URL percent-escaped (UTF-8); "/", "#", "?" and the other
// characters that structure a URL are kept.
QString percentEscaped(const QString& path);

} // namespace TopicPath
