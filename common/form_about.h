#pragma once
// TFormAbout: the about dialog (caption "关于我们"): the program's version text and the link to
// the home page, opened in the default browser.

#include <functional>
#include <string>

#include "common/form_skin_base.h"

namespace nivra::common {

class TFormAbout final : public TFormSkinBase {
 public:
  // `versionText` follows "当前版本："; `homePage` is the address lblURL shows and opens.
  TFormAbout(QWidget* owner, const QString& versionText, const QString& homePage);

  QLabel* lblVer() const { return lblVer_; }
  QLabel* lblURL() const { return lblURL_; }
  // Opens an address in the default browser; true when the browser was started.
  std::function<bool(const std::string&)> OpenLink;

 private:
  QLabel* lblVer_;
  QLabel* lblURL_;
};

// Shows the about dialog modally over `owner` with the version text of the running program.
void ShowAbout(QWidget* owner, const QString& homePage);

}  // namespace nivra::common
