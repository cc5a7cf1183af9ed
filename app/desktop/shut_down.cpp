#include "app/desktop/shut_down.h"

#include <cctype>
#include <cstdio>
#include <ctime>

#include "app/desktop/power_manager.h"
#include "platform/error.h"

namespace nivra::app {
namespace {

using Clock = platform::EventLoop::Clock;

// A decimal number of the field (spaces of the edit mask ignored); 0 when it is not one.
int fieldNumber(const std::string& text) {
  int value = 0;
  bool digits = false;
  for (char c : text) {
    if (c == ' ') continue;
    if (!std::isdigit(static_cast<unsigned char>(c)) || value > 99999) return 0;
    value = value * 10 + (c - '0');
    digits = true;
  }
  return digits ? value : 0;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leapYear(y) ? 29 : kDays[m - 1];
}

std::tm localTm(WallTime t) {
  const std::time_t secs = Clock::to_time_t(t);
  std::tm tm{};
  localtime_r(&secs, &tm);
  return tm;
}

std::string twoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.2d", n);
  return buf;
}

}  // namespace

ShutDownFields ShutDownFieldsFor(WallTime now) {
  const std::tm tm = localTm(now);
  return {std::to_string(tm.tm_year + 1900), twoDigits(tm.tm_mon + 1), twoDigits(tm.tm_mday),
          twoDigits(tm.tm_hour) + ":" + twoDigits(tm.tm_min)};
}

WallTime ShutDownTarget(const ShutDownFields& fields, WallTime now) {
  const int year = fieldNumber(fields.year), month = fieldNumber(fields.month),
            day = fieldNumber(fields.day);
  const auto colon = fields.time.find(':');
  const int hours = fieldNumber(fields.time.substr(0, colon));
  const int minutes = colon == std::string::npos ? 0 : fieldNumber(fields.time.substr(colon + 1));
  const bool dateValid = year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
                         day <= daysInMonth(year, month);
  if (!dateValid || hours > 23 || minutes > 59) throw Error("请检查你的日期是否正确!");

  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hours;
  tm.tm_min = minutes;
  tm.tm_isdst = -1;
  const WallTime target = Clock::from_time_t(std::mktime(&tm));
  if (now > target)
    throw Error("关机时间设置不对，不能小于当前时间\r\n当前时间：" + FormatShutDownTime(now) +
                "\r\n设置时间：" + FormatShutDownTime(target));
  return target;
}

std::string FormatShutDownTime(WallTime t) {
  const std::tm tm = localTm(t);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4d-%.2d-%.2d %.2d:%.2d", tm.tm_year + 1900, tm.tm_mon + 1,
                tm.tm_mday, tm.tm_hour, tm.tm_min);
  return buf;
}

std::string ShutDownHintText(int seconds) {
  return std::to_string(seconds) + " 秒之后将关闭计算机";
}

TShutDownThread::TShutDownThread(platform::EventLoop& loop, std::function<void()> shutdownStep)
    : loop_(loop), step_(std::move(shutdownStep)) {}

TShutDownThread::~TShutDownThread() { Stop(); }

void TShutDownThread::Schedule(WallTime target) {
  Stop();
  target_ = target;
  timer_ = loop_.startTimer(kCheckIntervalMs, [this] { check(); });
  check();
}

void TShutDownThread::Stop() {
  if (timer_) loop_.killTimer(timer_);
  timer_ = 0;
}

void TShutDownThread::check() {
  if (!timer_ || !(loop_.now() > target_)) return;
  Stop();
  step_();
}

ShutDownCountDown::ShutDownCountDown(platform::EventLoop& loop,
                                     std::function<void(const std::string&)> showText,
                                     std::function<void(bool)> finished)
    : loop_(loop), show_(std::move(showText)), finished_(std::move(finished)) {}

ShutDownCountDown::~ShutDownCountDown() {
  if (timer_) loop_.killTimer(timer_);
}

void ShutDownCountDown::Start() {
  counter_ = kSeconds;
  show_(ShutDownHintText(counter_));
  timer_ = loop_.startTimer(1000, [this] {
    --counter_;
    show_(ShutDownHintText(counter_));
    if (counter_ <= 0) finish(true);
  });
}

void ShutDownCountDown::finish(bool powerOff) {
  if (done_) return;
  done_ = true;
  if (timer_) loop_.killTimer(timer_);
  timer_ = 0;
  finished_(powerOff);
}

void RunShutDown(PowerManager& power, const std::function<void()>& endApplication) {
  if (power.CanPowerOff()) power.PowerOff();
  endApplication();
}

}  // namespace nivra::app
