#pragma once

// What chm-export reads from /proc about itself and the web engine's processes it started.

#include <mutex>
#include <set>

// This process and every process below it (the engine's): their resident memory in KiB, the
// largest of the engine's processes alone, and the processor time they and the children they
// reaped have used, in milliseconds. With proportional set sizes asked for, also the sum of those:
// the resident sum counts the engine's shared libraries once for every renderer, the proportional
// one splits each shared page among the processes that map it.
struct TreeUsage {
    long residentKiB = 0;
    long largestEngineKiB = 0;
    long proportionalKiB = 0;
    double cpuMs = 0;
    double engineCpuMs = 0; // the engine's processes alone, the renderers that ended included
    int renderers = 0;      // renderer processes alive now
};

// Reads the tree's usage, and remembers every renderer process it has seen: a renderer is started
// for each view that replaced one, so their number tells how often renderers were restarted.
class ProcessTree {
public:
    TreeUsage usage(bool proportional = false);
    int renderersSeen() const;

private:
    mutable std::mutex m_mutex;
    std::set<long> m_renderers;
};

// Processor time the calling thread has used, in milliseconds.
double threadCpuMs();

// What this process's allocator hands out and has not had back: the export's own data (the engine
// allocates most of its own elsewhere), which the resident size mixes with pages kept for reuse.
double heapInUseMb();

// A "Field:   value kB" line of /proc/self/status; -1 when missing.
long statusKiB(const char* field);
