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
   'RTCRtpTransceiver', 'RTCIceCandidate', 'RTCSessionDescription'].forEach(function (name) {
    try {
      Object.defineProperty(window, name, { value: undefined, writable: false, configurable: false });
    } catch (e) { }
  });
})();
)JS";

constexpr char kFlagsVariable[] = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr char kPolicySwitch[] = "--force-webrtc-ip-handling-policy=disable_non_proxied_udp";

} // namespace

void restrictEngine()
{
    QByteArray flags = qgetenv(kFlagsVariable);
    if (flags.contains("--force-webrtc-ip-handling-policy"))
        return;
    if (!flags.isEmpty())
        flags += ' ';
    flags += kPolicySwitch;
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
