#pragma once
// The process of an ad pop-up ("/SHOWAD", "/SHOWMINI"): the application, its one window and the
// message loop until that window closes.

#include <string>

namespace nivra::ads {

enum class AdWindowKind { Ad, Mini };

struct AdWindowRequest {
  AdWindowKind kind = AdWindowKind::Ad;
  std::string url;
  int width = 0, height = 0;
  int showTimeMs = 0;    // the ad window's display time
  bool service = false;  // started for the background service ("/f"): the stamp it writes
};

// Shows the window and returns when it has closed. Errors end the window quietly.
int RunAdWindow(int argc, char** argv, const AdWindowRequest& request);

}  // namespace nivra::ads
