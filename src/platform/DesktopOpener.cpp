#include "platform/DesktopOpener.h"

#include <QProcess>
#include <QStandardPaths>

#include <memory>
#include <utility>

namespace DesktopOpener {

namespace {

// The opener's status when a program it ran for the file ended with a failure; when it finds no
// program at all it says 3 ("no method available").
constexpr int kProgramRanButFailed = 4;

constexpr int kDidNotRun = -1;

// Runs the program with no input and calls finished once with its exit code (kDidNotRun when it
// could not be started or crashed) and, when asked for, what it wrote.
void runProgram(const QString& program, const QStringList& arguments, bool keepOutput,
                std::function<void(int exitCode, const QByteArray& output)> finished)
{
    // No parent: the opener may run for as long as the program it started, and must not be killed
    // when the application ends before it.
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    if (!keepOutput)
        process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto report = std::make_shared<std::function<void(int, const QByteArray&)>>(std::move(finished));
    QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        if (*report)
            std::exchange(*report, nullptr)(kDidNotRun, QByteArray());
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, report, keepOutput](int exitCode, QProcess::ExitStatus status) {
        const QByteArray output = keepOutput ? process->readAllStandardOutput() : QByteArray();
        if (*report)
            std::exchange(*report, nullptr)(status == QProcess::NormalExit ? exitCode : kDidNotRun, output);
        process->deleteLater();
    });
    process->start();
}

// Whether the desktop names a program for the file's kind: the one the opener ran when it reports
// that the program failed. The kind is asked of the desktop too, as the opener asks it.
void askWhetherAProgramTookIt(const QString& path, std::function<void(bool opened)> done)
{
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty()) {
        done(false);
        return;
    }
    runProgram(query, {QStringLiteral("query"), QStringLiteral("filetype"), path}, true,
               [query, done = std::move(done)](int exitCode, const QByteArray& output) mutable {
                   // "application/pdf; charset=binary" from some lookups: the kind is what precedes ";".
                   const QString kind = QString::fromUtf8(output).section(QLatin1Char(';'), 0, 0).trimmed();
                   if (exitCode != 0 || kind.isEmpty()) {
                       done(false);
                       return;
                   }
                   runProgram(query, {QStringLiteral("query"), QStringLiteral("default"), kind}, true,
                              [done = std::move(done)](int defaultExitCode, const QByteArray& program) {
                                  done(defaultExitCode == 0 && !program.trimmed().isEmpty());
                              });
               });
}

} // namespace

QString program()
{
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

void open(const QString& path, std::function<void(bool opened)> done)
{
    if (!done)
        done = [](bool) {};
    const QString opener = program();
    if (opener.isEmpty()) {
        done(false);
        return;
    }
    runProgram(opener, {path}, false, [path, done = std::move(done)](int exitCode, const QByteArray&) mutable {
        if (exitCode == kProgramRanButFailed)
            askWhetherAProgramTookIt(path, std::move(done));
        else
            done(exitCode == 0);
    });
}

} // namespace DesktopOpener
