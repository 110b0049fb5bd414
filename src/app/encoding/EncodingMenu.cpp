#include "app/encoding/EncodingMenu.h"

#include "app/presets/PlistVariant.h"

#include <QComboBox>
#include <QFile>

// The resource is compiled into this static library; its registration must be pulled in by hand.
static void ensureTextEncodingResource()
{
    Q_INIT_RESOURCE(textencoding);
}

namespace EncodingMenu {

namespace {

std::vector<Entry> parseGroup(const QVariantList& group)
{
    std::vector<Entry> entries;
    for (const QVariant& item : group) {
        if (item.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap entry = item.toMap();
        const QVariant name = entry.value(QStringLiteral("name"));
        const QVariant title = entry.value(QStringLiteral("title"));
        if (name.typeId() != QMetaType::QString || title.typeId() != QMetaType::QString)
            continue;
        entries.push_back({name.toString(), title.toString()});
    }
    return entries;
}

} // namespace

Groups parseGroups(const QByteArray& plistXml)
{
    const std::optional<QVariant> root = PlistVariant::fromXml(plistXml);
    if (!root || root->typeId() != QMetaType::QVariantList)
        return {};
    Groups groups;
    for (const QVariant& group : root->toList()) {
        if (group.typeId() == QMetaType::QVariantList)
            groups.push_back(parseGroup(group.toList()));
    }
    return groups;
}

} // namespace EncodingMenu

void initEncodingMenu(QComboBox& popup, QStringList& encodingNames, const QString& resourcePath)
{
    ensureTextEncodingResource();
    encodingNames.clear();
    QFile resource(resourcePath);
    if (!resource.open(QIODevice::ReadOnly))
        return;
    const EncodingMenu::Groups groups = EncodingMenu::parseGroups(resource.read(PlistVariant::kMaximumBytes + 1));
    for (const auto& group : groups) {
        for (const EncodingMenu::Entry& entry : group) {
            const int tag = static_cast<int>(encodingNames.size());
            encodingNames.append(entry.name);
            popup.addItem(entry.title, tag);
        }
        popup.insertSeparator(popup.count());
    }
    // The menu ends with an entry, not with the separator of the last group.
    if (!groups.empty())
        popup.removeItem(popup.count() - 1);
}

QString GetCurrentEncodingName(const QComboBox& popup, const QStringList& encodingNames)
{
    bool hasTag = false;
    const int tag = popup.currentData().toInt(&hasTag);
    if (!hasTag || tag < 1 || tag >= encodingNames.size())
        return {};
    return encodingNames.at(tag);
}
