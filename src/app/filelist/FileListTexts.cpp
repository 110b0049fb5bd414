#include "app/filelist/FileListTexts.h"

#include <QHash>

QString FileListText(const QString& key)
{
    static const QHash<QString, QString> texts = {
        {QStringLiteral("OpenDialogTitle"), QStringLiteral("Add CHM Files")},
        {QStringLiteral("OpenDialogButton"), QStringLiteral("Add")},
    };
    return texts.value(key, key);
}
