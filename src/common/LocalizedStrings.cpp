#include "common/LocalizedStrings.h"

#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

// The resource lives in a static library: it must be registered by hand before it is read.
static void registerTextTableResource()
{
    Q_INIT_RESOURCE(strings);
}

namespace {

// The text table ships as a resource (resources/strings/Localizable.json): one object whose
// members are the keys and their texts. It is read once and never changes afterwards.
QHash<QString, QString> loadTexts()
{
    registerTextTableResource();
    QHash<QString, QString> texts;
    QFile file(QStringLiteral(":/strings/Localizable.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("The application's text table is missing");
        return texts;
    }
    const QJsonObject table = QJsonDocument::fromJson(file.readAll()).object();
    for (auto entry = table.begin(); entry != table.end(); ++entry) {
        if (entry.value().isString())
            texts.insert(entry.key(), entry.value().toString());
    }
    return texts;
}

const QHash<QString, QString>& texts()
{
    static const QHash<QString, QString> table = loadTexts();
    return table;
}

} // namespace

QString Localized(const char* key)
{
    const QString name = QString::fromUtf8(key);
    return texts().value(name, name);
}
