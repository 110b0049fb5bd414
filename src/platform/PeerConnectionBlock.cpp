#include "platform/PeerConnectionBlock.h"

#include <QByteArray>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace PeerConnectionBlock {

namespace {

// Fixed in place so that the page cannot put them back.
const char* const kScript = R"JS(
(function () {
  ['RTCPeerConnection', 'webkitRTCPeerConnection', 'RTCDataChannel', 'RTCRtpSender', 'RTCRtpReceiver',
   'RTCRtpTransceiver', 'RTCIceCandidate', 'RTCSessionDescription', 'WebTransport',
   'WebTransportError'].forEach(function (name) {
    try {
      Object.defineProperty(window, name, { value: undefined, writable: false, configurable: false });
    } catch (e) { }
  });
})();
)JS";

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";

// Each switch with the name that, already given, leaves it out (the user's own value stands).
struct EngineSwitch {
    const char* name;
    const char* value;
};
constexpr EngineSwitch kSwitches[] = {
    {"--force-webrtc-ip-handling-policy", "--force-webrtc-ip-handling-policy=disable_non_proxied_udp"},
    {"--disable-quic", "--disable-quic"},
    {"--disable-blink-features", "--disable-blink-features=WebTransport"},
};

} // namespace

void restrictEngine()
{
    QByteArray flags = qgetenv(kFlagsVariable);
    for (const EngineSwitch& engineSwitch : kSwitches) {
        if (flags.contains(engineSwitch.name))
            continue;
        if (!flags.isEmpty())
            flags += ' ';
        flags += engineSwitch.value;
    }
    qputenv(kFlagsVariable, flags);
}

void install(QWebEngineProfile& profile)
{
    QWebEngineScript script;
    script.setName(QStringLiteral("tomefold-no-peer-connections"));
    script.setSourceCode(QString::fromUtf8(kScript));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    profile.scripts()->insert(script);
}

} // namespace PeerConnectionBlock
