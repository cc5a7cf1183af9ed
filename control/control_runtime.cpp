#include "control/control_runtime.h"

#include <QApplication>

#include "control/tkinoro.h"
#include "platform/folders.h"
#include "platform/qt_event_loop.h"
#include "platform/registry.h"
#include "ui/web/web_process.h"

namespace nivra::control {
namespace {

// Constant-initialised: nothing runs before a host calls in.
ControlRuntime* current = nullptr;
int holders = 0;
QApplication* ownApplication = nullptr;

// QApplication keeps references to these for its whole life.
int applicationArgc = 1;
char applicationName[] = "kinoro";
char* applicationArgv[] = {applicationName, nullptr};

}  // namespace

ControlRuntime& ControlRuntime::acquire() {
  if (!current) current = new ControlRuntime();
  ++holders;
  return *current;
}

void ControlRuntime::release() {
  if (--holders > 0) return;
  delete current;
  current = nullptr;
}

ControlRuntime::ControlRuntime() : endpoints_(net::ServerEndpoints::current()) {
  if (!QCoreApplication::instance()) {
    ui::PrepareWebProcess();
    ownApplication = new QApplication(applicationArgc, applicationArgv);
    ownsApplication_ = true;
  }
  auto loop = std::make_unique<platform::QtEventLoop>();
  // An error that escapes the controls' timers and posted work shows in the error box.
  loop->setExceptionHandler(
      [](const std::string& message) { ShowErrorBox(QString::fromStdString(message)); });
  loop_ = std::move(loop);
  player::PlayerStackOptions options;
  options.moduleFolder = platform::moduleDir();
  players_ = std::make_unique<player::PlayerStack>(*loop_, platform::Registry::system(), options);
}

ControlRuntime::~ControlRuntime() = default;

namespace {

// A control's form together with its hold on the runtime, which it lets go after the form.
class HeldForm final : public KinoroForm {
 public:
  HeldForm(FormNotifications& notifications, const std::filesystem::path& libraryFile)
      : runtime_(ControlRuntime::acquire()) {
    try {
      form_ = std::make_unique<TKinoro>(notifications, runtime_.loop(), runtime_.players(),
                                        KinoroPages{runtime_.endpoints().controlPausePage(),
                                                    runtime_.endpoints().controlBufferingPage()},
                                        libraryFile);
    } catch (...) {
      ControlRuntime::release();
      throw;
    }
  }
  ~HeldForm() override {
    form_.reset();
    ControlRuntime::release();
  }
  void get(const Member& m, VARIANT* out) override { form_->get(m, out); }
  void put(const Member& m, const VARIANT& value) override { form_->put(m, value); }
  void call(const Member& m) override { form_->call(m); }
  std::uintptr_t nativeWindow() override { return form_->nativeWindow(); }
  void place(int l, int t, int w, int h) override { form_->place(l, t, w, h); }
  void setHostWindow(std::uintptr_t window) override { form_->setHostWindow(window); }
  void showInHost(bool visible) override { form_->showInHost(visible); }

 private:
  ControlRuntime& runtime_;
  std::unique_ptr<TKinoro> form_;
};

}  // namespace

std::unique_ptr<KinoroForm> makeTKinoro(FormNotifications& notifications,
                                        const std::filesystem::path& libraryFile) {
  return std::make_unique<HeldForm>(notifications, libraryFile);
}

}  // namespace nivra::control
