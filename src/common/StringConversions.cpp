#include "common/StringConversions.h"

#include "common/PathComponents.h"

#include <cstring>

namespace WBQUtil {

namespace {

QString PathOf(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path(QUrl::FullyDecoded);
}

std::string ToStdString(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), std::size_t(utf8.size()));
}

std::string PathResult(const QString& text, const QString& path, bool* ok)
{
    if (ok)
        *ok = !path.isEmpty();
    return path.isEmpty() ? std::string() : ToStdString(text);
}

std::unique_ptr<char[]> CStringCopy(const QString& text)
{
    if (text.isEmpty())
        return nullptr;
    const QByteArray utf8 = text.toUtf8();
    auto copy = std::make_unique<char[]>(std::size_t(utf8.size()) + 1);
    std::memcpy(copy.get(), utf8.constData(), std::size_t(utf8.size()) + 1);
    return copy;
}

} // namespace

std::string GetFileBaseNameString(const QUrl& url, bool* ok)
{
    const QString path = PathOf(url);
    return PathResult(PathComponents::withoutLastExtension(PathComponents::lastComponent(path)), path, ok);
}

std::string NSStringToStdString(const QString& string)
{
    return ToStdString(string);
}

std::string GetURLPathString(const QUrl& url, bool* ok)
{
    const QString path = PathOf(url);
    return PathResult(path, path, ok);
}

std::unique_ptr<char[]> CopyURLPathCString(const QUrl& url)
{
    return CStringCopy(PathOf(url));
}

std::unique_ptr<char[]> CopyNSStringCString(const QString& string)
{
    return CStringCopy(string);
}

} // namespace WBQUtil
