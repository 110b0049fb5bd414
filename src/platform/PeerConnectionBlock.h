#pragma once

class QWebEngineProfile;

// Untrusted pages must reach no host, yet some of the engine's transports send their packets past
// every request the engine lets an interceptor see: WebRTC's peer connections (datagrams to STUN
// and TURN servers and to peers) and WebTransport (QUIC datagrams), and the engine speaks QUIC to
// any server that offers it.
namespace PeerConnectionBlock {

// Tells the web engine to send no peer-connection datagram except through a proxy (which is never
// configured), to speak no QUIC and to offer no WebTransport. The engine reads this once, when it
// starts (the first web profile or page made): UntrustedWebProfile calls it before then, so every
// program that makes its profiles there is covered. Later calls change nothing.
void restrictEngine();

// Installed in a profile, takes the peer-connection and WebTransport interfaces away from the
// documents its pages load, before any of the page's own scripts runs: a second line should the
// engine have started without restrictEngine. (A page can still reach fresh interfaces through an
// empty frame it makes.)
void install(QWebEngineProfile& profile);

} // namespace PeerConnectionBlock
