#pragma once

#include <QByteArray>
#include <QGuiApplication>

#include <memory>
#include <string>

namespace FuzzApplication {

// QTextDocument needs an application object; the first call makes one, offscreen, named `name`.
inline void Ensure(const char* name)
{
    static std::string programName = name;
    static int argc = 1;
    static char* argv[] = {programName.data(), nullptr};
    static const std::unique_ptr<QGuiApplication> application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

} // namespace FuzzApplication
