#pragma once
// The script every frame of a WebPage gets before its own scripts run. It watches link clicks in
// the capture phase and window.open calls; for a target beginning with "Nivra://" (any case) it
// cancels the action and reports the text as the page wrote it. The browser's own navigation
// address is no good for this: it lower-cases the scheme and host and decodes escapes.
// Reports travel as console messages that begin with kPrivateLinkMarker.

#include <QString>
#include <QStringView>

namespace nivra::ui {

inline constexpr QStringView kPrivateLinkMarker = u"\u0001nivra-private-link\u0001";

// True when `text` begins with "Nivra://" without regard to case.
bool isPrivateLink(QStringView text);
// The capture script's source.
QString privateLinkCaptureScript();

}  // namespace nivra::ui
