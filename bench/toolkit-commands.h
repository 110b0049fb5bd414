// The subcommands of the toolkit command: each fills its entry point's record from the flags and the
// operands (the sources, then the destination) and runs the entry point on a worker thread. A further
// subcommand is one entry of the table in toolkit-commands.cpp.

#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// What one run did, for the figures.
struct CommandRun {
    bool succeeded = false;
    QString usageError;  // nothing was run
    QString exception;   // the text of an exception the entry point threw
    QStringList sources; // absolute paths
    QString destination; // absolute path; empty when the result stays in memory
    QString password;    // the one the record was given, for telling why a PDF did not unlock
    bool destinationIsFolder = false;
    double seconds = 0;
    QString resultImage;  // "WxH" of an image kept in memory
    QStringList warnings; // those the entry point gave on its thread, printed as they came
};

struct Command {
    QString name;
    QString operands; // the usage line's operands
    QString help;     // the flags, one a line, with the value each starts from
    std::function<CommandRun(const QStringList& arguments)> run;
};

const std::vector<Command>& Commands();

// Runs the function on a worker thread while the main thread's event loop serves it; returns when it is
// done. An exception it throws is returned as its text; the warnings it gives go to the list.
QString RunOnWorker(const std::function<void()>& work, QStringList* warnings = nullptr);
