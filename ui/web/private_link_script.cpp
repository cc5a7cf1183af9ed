#include "ui/web/private_link_script.h"

#include "ui/web/web_page.h"

namespace nivra::ui {
namespace {

// Runs in the page's own world at document creation, before any page script, so the page can
// neither run a click listener ahead of it nor take away the console function it reports with.
constexpr char16_t kScript[] =
    uR"JS((function () {
  'use strict';
  const marker = %1;
  const report = console.log.bind(console);
  const privatePrefix = /^nivra:\/\//i;
  // Browsers ignore leading and trailing spaces and control characters of an address.
  const trimmed = (text) => String(text).replace(/^[\u0000-\u0020]+|[\u0000-\u0020]+$/g, '');
  const privateLink = (target) => {
    if (target === null || target === undefined) return null;
    const text = trimmed(target);
    return privatePrefix.test(text) ? text : null;
  };
  const hrefOf = (element) =>
      element.getAttribute('href') ??
      element.getAttributeNS('http://www.w3.org/1999/xlink', 'href');

  // The innermost link on the event's path decides, as it would for the navigation.
  const onActivate = (event) => {
    if (event.type === 'auxclick' && event.button !== 1) return;
    for (const node of event.composedPath()) {
      if (!(node instanceof Element) || (node.localName !== 'a' && node.localName !== 'area'))
        continue;
      const href = hrefOf(node);
      if (href === null) continue;
      const link = privateLink(href);
      if (link !== null) {
        event.preventDefault();
        report(marker + link);
      }
      return;
    }
  };
  window.addEventListener('click', onActivate, true);
  window.addEventListener('auxclick', onActivate, true);

  const open = window.open;
  window.open = function (url) {
    const link = privateLink(url);
    if (link === null) return open.apply(this, arguments);
    report(marker + link);
    return null;
  };

  // Script navigations (location assignments, form submissions): the address as the page's URL
  // parser keeps it (escapes and host case kept, the scheme lower-cased).
  if (window.navigation) {
    window.navigation.addEventListener('navigate', (event) => {
      const link = privateLink(event.destination.url);
      if (link === null || !event.cancelable) return;
      event.preventDefault();
      report(marker + link);
    });
  }
})();)JS";

}  // namespace

bool isPrivateLink(QStringView text) { return text.startsWith(u"Nivra://", Qt::CaseInsensitive); }

QString privateLinkCaptureScript() {
  return QString::fromUtf16(kScript).arg(javaScriptString(kPrivateLinkMarker.toString()));
}

}  // namespace nivra::ui
