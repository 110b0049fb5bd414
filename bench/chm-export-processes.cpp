#include "chm-export-processes.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <algorithm>
#include <map>
#include <malloc.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

long proportionalKiB(long pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : rollup.readAll().split('\n')) {
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toLong();
    }
    return 0;
}

struct Process {
    long parent = 0;
    long residentKiB = 0;
    double cpuTicks = 0;
};

// The engine's renderers are forked by its zygote, which this process started; they keep the
// zygote's command line.
bool isRenderer(const std::map<long, Process>& processes, long pid, long self)
{
    const auto process = processes.find(pid);
    if (process == processes.end() || process->second.parent == self)
        return false;
    const auto parent = processes.find(process->second.parent);
    return parent != processes.end() && parent->second.parent == self;
}

// Reads one process's stat line into processes; false when the process has gone.
bool readProcess(long pid, std::map<long, Process>& processes)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // pid (name) state ppid ... utime stime cutime cstime (fields 14 to 17) ... rss (field 24)
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 22)
        return false;
    Process& process = processes[pid];
    process.parent = fields[1].toLong();
    for (int field = 11; field <= 14; ++field)
        process.cpuTicks += fields[field].toDouble();
    process.residentKiB = fields[21].toLong() * (::sysconf(_SC_PAGESIZE) / 1024);
    return true;
}

// This process and the processes below it, found through the children of this process and of the
// engine's zygotes (which fork the renderers; the renderers start none): reading every process of
// the machine cost the bench, and so the export it measures, most of a second of system time on a
// short export, read at every percentage.
std::map<long, Process> allProcesses()
{
    const long self = static_cast<long>(::getpid());
    std::map<long, Process> processes;
    std::vector<long> toRead{self};
    while (!toRead.empty()) {
        const long pid = toRead.back();
        toRead.pop_back();
        if (processes.contains(pid) || !readProcess(pid, processes))
            continue;
        if (pid != self && processes[pid].parent != self)
            continue;
        const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
        for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(tasks + QLatin1Char('/') + task + QStringLiteral("/children"));
            if (!children.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& child : children.readAll().split(' ')) {
                bool isPid = false;
                const long childPid = child.trimmed().toLong(&isPid);
                if (isPid)
                    toRead.push_back(childPid);
            }
        }
    }
    return processes;
}

bool descendsFrom(const std::map<long, Process>& processes, long pid, long root)
{
    for (long ancestor = pid; ancestor > 1;) {
        if (ancestor == root)
            return true;
        const auto found = processes.find(ancestor);
        ancestor = found != processes.end() ? found->second.parent : 0;
    }
    return false;
}

} // namespace

TreeUsage ProcessTree::usage(bool proportional)
{
    const std::map<long, Process> processes = allProcesses();
    const long self = static_cast<long>(::getpid());
    const double msPerTick = 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    TreeUsage usage;
    for (const auto& [pid, process] : processes) {
        if (!descendsFrom(processes, pid, self))
            continue;
        usage.residentKiB += process.residentKiB;
        usage.cpuMs += process.cpuTicks * msPerTick;
        if (proportional)
            usage.proportionalKiB += proportionalKiB(pid);
        if (pid == self)
            continue;
        usage.engineCpuMs += process.cpuTicks * msPerTick;
        usage.largestEngineKiB = std::max(usage.largestEngineKiB, process.residentKiB);
        if (isRenderer(processes, pid, self)) {
            ++usage.renderers;
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_renderers.insert(pid);
        }
    }
    return usage;
}

int ProcessTree::renderersSeen() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_renderers.size());
}

double heapInUseMb()
{
    const struct mallinfo2 usage = ::mallinfo2();
    return static_cast<double>(usage.uordblks + usage.hblkhd) / 1048576.0;
}

double threadCpuMs()
{
    timespec used{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) * 1000.0 + static_cast<double>(used.tv_nsec) / 1e6;
}

long statusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(static_cast<qsizetype>(qstrlen(field))).trimmed().split(' ').first().toLong();
    }
    return -1;
}
