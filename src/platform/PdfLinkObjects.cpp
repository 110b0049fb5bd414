#include "platform/PdfLinkObjects.h"

namespace PdfLinkObjects {

bool isLinkAnnotation(QPDFObjectHandle annotation)
{
    if (!annotation.isDictionary())
        return false;
    QPDFObjectHandle subtype = annotation.getKey("/Subtype");
    return subtype.isName() && QString::fromStdString(subtype.getName()).compare(QLatin1String("/Link"), Qt::CaseInsensitive) == 0;
}

QString uriOf(QPDFObjectHandle annotation)
{
    QPDFObjectHandle action = annotation.getKey("/A");
    if (!action.isDictionary() || !action.getKey("/S").isNameAndEquals("/URI"))
        return {};
    QPDFObjectHandle uri = action.getKey("/URI");
    return uri.isString() ? QString::fromStdString(uri.getStringValue()) : QString();
}

} // namespace PdfLinkObjects
