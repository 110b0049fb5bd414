#pragma once

#include <functional>

// Work that must happen on the application's main thread (widgets, web pages) reached from any thread.
namespace MainThread {

// True when the caller runs on the thread of the application object.
bool isMainThread();

// Runs f on the main thread and returns when it has run. On the main thread f runs at once:
// a blocking queued call from the main thread to itself would never return.
void runOnMainAndWait(const std::function<void()>& f);

// Queues f to run on the main thread once control is back in its event loop; never waits.
void runOnMainLater(std::function<void()> f);

} // namespace MainThread

using MainThread::runOnMainAndWait;
