#pragma once

#include <QWebEngineProfile>

#include <memory>

// The one way this code base makes web engine profiles. Every page it loads is untrusted (a topic
// of a CHM file, an HTML file given to the toolkit), and nothing such a page does may reach a host:
// the engine's own restrictions are set before the profile can start the engine, whichever
// program links the libraries, and the profile takes the transports that bypass request
// interception away from its pages as a second line.
namespace UntrustedWebProfile {

// Off the record (nothing kept on disk), no cache, no cookies kept, no error pages, no windows
// opened by scripts, no plug-ins or PDF viewer, no icons, no DNS prefetching, no peer connections
// or WebTransport. The caller adds its scheme handlers, its interceptor and file access.
std::unique_ptr<QWebEngineProfile> make();

} // namespace UntrustedWebProfile
