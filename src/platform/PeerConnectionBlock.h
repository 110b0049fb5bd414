#pragma once

class QWebEngineProfile;

// Untrusted pages must reach no host, yet WebRTC's peer connections send their datagrams (to STUN
// servers and peers) past every request the engine lets an interceptor see.
namespace PeerConnectionBlock {

// Tells the web engine to send no peer-connection datagram except through a proxy, which is
// never configured: no host is reached that way. The engine reads this once, when it starts (the
// first web profile or page made): call it before then, ideally before the application object
// exists. Later calls change nothing.
void restrictEngine();

// Installed in a profile, takes the peer-connection interfaces away from the documents its pages
// load, before any of the page's own scripts runs: a second line should the engine have started
// without restrictEngine. (A page can still reach fresh interfaces through an empty frame it makes.)
void install(QWebEngineProfile& profile);

} // namespace PeerConnectionBlock
