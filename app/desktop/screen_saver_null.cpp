#include "app/desktop/screen_saver.h"

namespace nivra::app {
namespace {

class NullScreenSaverInhibitor final : public ScreenSaverInhibitor {
 public:
  void Inhibit(const std::string&) override { inhibited_ = true; }
  void UnInhibit() override { inhibited_ = false; }
  bool Inhibited() const override { return inhibited_; }

 private:
  bool inhibited_ = false;
};

}  // namespace

std::unique_ptr<ScreenSaverInhibitor> makeNullScreenSaverInhibitor() {
  return std::make_unique<NullScreenSaverInhibitor>();
}

}  // namespace nivra::app
