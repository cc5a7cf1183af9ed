#pragma once
// TFormConfig: the settings dialog (caption "设置选项", 475 × 352). Four page buttons switch the
// pages of pgc1; the dialog opens on tsBase. OK writes the controls into the settings, saves
// them to the settings file at once and lets the host apply them; Cancel, Esc and the close
// button change nothing.

#include <filesystem>

#include "common/form_config_rules.h"
#include "common/form_config_ui.h"
#include "common/form_skin_base.h"

namespace nivra::common {

class TFormConfig final : public TFormSkinBase {
 public:
  static constexpr QSize kSize{475, 352};

  // `config` outlives the dialog and is only changed by OK, which saves it to `file`.
  TFormConfig(QWidget* owner, TIniConfig& config, std::filesystem::path file, ConfigHost host);

  const ConfigWidgets& Widgets() const { return w_; }
  // The controls as values, and back.
  ConfigControls Controls() const;
  void SetControls(const ConfigControls& controls);
  // Shows page `index` (0 tsBase, 1 tsPlay, 2 tsHotkey, 3 tsFace): its button gets state image
  // 0, the others 1.
  void ShowPage(int index);

  // Ends the dialog; a result of mrOk first runs OK.
  void done(int result) override;

 private:
  TIniConfig& config_;
  std::filesystem::path file_;
  ConfigHost host_;
  ConfigWidgets w_;
};

// Opens the dialog modally over `owner`; true when it ended with OK (the settings are then saved
// and applied).
bool ShowConfigForm(QWidget* owner, TIniConfig& config, const std::filesystem::path& file,
                    ConfigHost host);

}  // namespace nivra::common
