#pragma once
// A private dbus-daemon for one test, the scripted desktop services that live on it, and a
// way to run a command-line client (dbus-send) while the Qt loop serves this process's objects.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "platform/process_runner.h"
#include "tests/support/test_process.h"

namespace nivra::test {

class PrivateBus {
 public:
  PrivateBus() : daemon_("dbus-daemon", {"--session", "--nofork", "--print-address=1"}) {
    address_ = daemon_.readLine().value_or("");
  }
  ~PrivateBus() {
    for (const auto& name : connections_) QDBusConnection::disconnectFromBus(name);
  }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  const std::string& address() const { return address_; }
  // A new connection of this process to the bus.
  QDBusConnection connect() {
    const QString name = QStringLiteral("nivra-test-%1").arg(++counter());
    connections_.push_back(name);
    return QDBusConnection::connectToBus(QString::fromStdString(address_), name);
  }
  // Waits until nobody owns `name` (a stand-in of an earlier test may still be leaving).
  bool waitUntilFree(const QString& name) {
    QDBusConnection bus = connect();
    for (int i = 0; i < 100; ++i) {
      if (!bus.interface()->isServiceRegistered(name)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

 private:
  static int& counter() {
    static int n = 0;
    return n;
  }
  TestProcess daemon_;
  std::string address_;
  std::vector<QString> connections_;
};

// tests/app/desktop/scripts/fake_desktop_service.py for `service` on `address`.
inline std::vector<std::string> fakeServiceArgs(const std::string& service,
                                                const std::string& address,
                                                std::vector<std::string> extra = {}) {
  std::vector<std::string> args{NIVRA_DESKTOP_TEST_SCRIPTS "/fake_desktop_service.py", service,
                                "--address", address};
  args.insert(args.end(), extra.begin(), extra.end());
  return args;
}

// The lines "CALL …" a stand-in printed until it stayed silent for a moment.
inline std::vector<std::string> drainCalls(TestProcess& fake) {
  std::vector<std::string> calls;
  while (auto line = fake.readLine(std::chrono::milliseconds(300))) calls.push_back(*line);
  return calls;
}

// Runs a client program to its end while this thread keeps serving D-Bus calls.
inline platform::CapturedRun runServing(const std::string& program,
                                        const std::vector<std::string>& args) {
  auto run = std::async(std::launch::async, [&] {
    return platform::runAndCapture(program, args, {}, {std::chrono::seconds(10)})
        .value_or(platform::CapturedRun{});
  });
  while (run.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
    QCoreApplication::processEvents();
  return run.get();
}

}  // namespace nivra::test
