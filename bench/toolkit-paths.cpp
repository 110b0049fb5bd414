#include "toolkit-paths.h"

#include <QStringDecoder>

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace {

constexpr char16_t kEscapeBase = 0xDC80;

QString EscapedText(const QByteArray& bytes)
{
    QString text;
    qsizetype start = 0;
    while (start < bytes.size()) {
        // the longest run that is UTF-8, then one byte that is not
        qsizetype end = bytes.size();
        for (;;) {
            QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
            const QString part = decoder.decode(bytes.mid(start, end - start));
            if (!decoder.hasError()) {
                text += part;
                break;
            }
            --end;
        }
        if (end < bytes.size())
            text += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[end])));
        start = end + 1;
    }
    return text;
}

} // namespace

QStringList ArgumentsAsText(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << EscapedText(QByteArray(argv[i]));
    return arguments;
}

QByteArray PathBytes(const QString& path)
{
    QByteArray bytes;
    QString run;
    for (const QChar c : path) {
        if (c.unicode() >= kEscapeBase && c.unicode() <= kEscapeBase + 0xFF) {
            bytes += run.toUtf8();
            run.clear();
            bytes += static_cast<char>(c.unicode() - kEscapeBase);
        } else {
            run += c;
        }
    }
    return bytes + run.toUtf8();
}

bool PathExists(const QString& path)
{
    struct stat status {};
    return ::stat(PathBytes(path).constData(), &status) == 0;
}

bool MakeFolder(const QString& path)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(PathBytes(path).toStdString()), error);
    return !error;
}
