#pragma once

#include <QIcon>
#include <QString>

// The window's control images, by the name the controls know them by ("Add", "Convert", ...),
// compiled into the program. A name without an image gives a null icon.
QIcon TemplateImage(const QString& name);

// The application's own icon.
QIcon ApplicationIcon();
