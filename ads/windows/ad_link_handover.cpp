#include "ads/windows/ad_link_handover.h"

#include "ads/windows/ad_window_rules.h"
#include "ui/web/web_page.h"

namespace nivra::ads {

std::function<void(const QString&)> PrivateLinkHandOver(ui::WebPage& page,
                                                        PopUpLauncher& launcher) {
  return [&page, &launcher](const QString& link) {
    const std::string text = link.toStdString();
    page.findAnchorIdByHref(link, [&page, &launcher, text](const QString& id) {
      if (id.isEmpty()) {
        launcher.Start(PrivateLinkArguments(text, {}));
        return;
      }
      page.callPageScript(QStringLiteral("GetExtInfo"), id, [&launcher, text](const QVariant& ext) {
        launcher.Start(
            PrivateLinkArguments(text, ext.isValid() ? ext.toString().toStdString() : ""));
      });
    });
  };
}

}  // namespace nivra::ads
