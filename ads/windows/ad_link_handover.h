#pragma once
// Private links clicked in an ad page go to the main program: the program is started again with
// "/WebShell" and the page's extra address for the link's anchor (its script "GetExtInfo"), or
// with the link's own text, and the single-instance hand-over takes it from there.

#include <QString>
#include <functional>

#include "ads/ad_ports.h"

namespace nivra::ui {
class WebPage;
}

namespace nivra::ads {

// The page's private-link handler. `page` and `launcher` must outlive the page's answers.
std::function<void(const QString& link)> PrivateLinkHandOver(ui::WebPage& page,
                                                             PopUpLauncher& launcher);

}  // namespace nivra::ads
