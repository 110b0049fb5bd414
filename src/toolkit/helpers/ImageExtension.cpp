#include "toolkit/helpers/ImageExtension.h"

#include <QFile>
#include <QStringList>
#include <QXmlStreamReader>

// The resource lives in a static library: it must be registered by hand before it is read.
static void registerImageExtensionResource()
{
    Q_INIT_RESOURCE(ImageExtension);
}

namespace {

// The strings of the property list's top-level array, in order; empty for anything else.
QStringList readExtensionList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    QStringList extensions;
    int depth = 0; // 1 inside <plist>, 2 inside its <array>
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (depth == 0 && name == QLatin1String("plist"))
                depth = 1;
            else if (depth == 1 && name == QLatin1String("array"))
                depth = 2;
            else if (depth == 2 && name == QLatin1String("string"))
                extensions.append(xml.readElementText());
            else if (depth == 2)
                return {}; // an entry that is not a string: not the list we expect
        }
    }
    return xml.hasError() ? QStringList{} : extensions;
}

} // namespace

QString GetImageExtension(std::uint32_t code)
{
    registerImageExtensionResource();
    return GetImageExtension(code, QString::fromLatin1(kImageExtensionResource));
}

QString GetImageExtension(std::uint32_t code, const QString& listPath)
{
    const QStringList extensions = readExtensionList(listPath);
    return code < static_cast<std::uint32_t>(extensions.size()) ? extensions.at(static_cast<qsizetype>(code))
                                                                : QString();
}
