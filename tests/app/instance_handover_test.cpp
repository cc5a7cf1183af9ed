#include "app/instance_handover.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/messages.h"

namespace nivra::app {
namespace {
using Kind = ForwardedCommand::Kind;

class FakeWindow final : public MainWindowPort {
 public:
  bool present = true;
  std::optional<std::int64_t> activateReply = 1;
  std::vector<platform::Message> sent;
  std::vector<std::string> records;
  bool find() override { return present; }
  std::optional<std::int64_t> send(const platform::Message& msg) override {
    sent.push_back(msg);
    return activateReply;
  }
  std::optional<std::int64_t> sendCopyData(std::intptr_t,
                                           const platform::CopyDataRecord& r) override {
    records.emplace_back(static_cast<const char*>(r.lpData), r.cbData);
    EXPECT_EQ(r.dwData, 0u);
    return 1;
  }
};

CommandLine line(std::vector<std::string> args) {
  CommandLine cmd;
  cmd.selfPath = "/usr/bin/nivra";
  cmd.args = std::move(args);
  return cmd;
}

TEST(HandOver, ForwardsTheRemainderWithItsNulAfterReplyOne) {
  FakeWindow window;
  HandOverToRunningInstance(line({"Nivra://a+b"}), window);
  ASSERT_EQ(window.sent.size(), 1u);
  EXPECT_EQ(window.sent[0].id, platform::WM_INSTANCE_ACTIVATE);
  EXPECT_EQ(window.sent[0].wParam, 1);
  EXPECT_EQ(window.records, std::vector<std::string>{std::string("Nivra://a+b\0", 12)});
}

TEST(HandOver, CasesThatForwardNothing) {
  {
    FakeWindow window;  // "/A" and "/SETUPRUN" do not even wake the window
    HandOverToRunningInstance(line({"/a"}), window);
    HandOverToRunningInstance(line({"/SETUPRUN", "x"}), window);
    EXPECT_TRUE(window.sent.empty());
  }
  {
    FakeWindow window;  // no arguments: woken, nothing forwarded
    HandOverToRunningInstance(line({}), window);
    EXPECT_EQ(window.sent.size(), 1u);
    EXPECT_EQ(window.sent[0].wParam, 0);
    EXPECT_TRUE(window.records.empty());
  }
  for (std::optional<std::int64_t> reply :
       {std::optional<std::int64_t>(0), std::optional<std::int64_t>()}) {
    FakeWindow window;  // window between lock and creation, or not answering
    window.activateReply = reply;
    HandOverToRunningInstance(line({"Nivra://x"}), window);
    EXPECT_TRUE(window.records.empty());
  }
  FakeWindow none;
  none.present = false;
  HandOverToRunningInstance(line({"Nivra://x"}), none);
  EXPECT_TRUE(none.sent.empty());
}

TEST(InterpretForwardedText, LinksWebShellAndEverythingElse) {
  struct Case {
    std::string bytes;
    Kind kind;
    const char* text;
  } cases[] = {
      {std::string("Nivra://a+b%41\0junk", 19), Kind::OpenLink, "Nivra://a bA"},
      {"  nivra://X  ", Kind::OpenLink, "nivra://X"},
      {"\"Nivra://q r\" tail", Kind::OpenLink, "Nivra://q r"},
      {"/WebShell http://h/p", Kind::WebShell, "http://h/p"},
      {"/webshell,http://h/1,http://h/2", Kind::WebShell, "http://h/2"},
      {"/WebShell,,http://late", Kind::None, ""},
      {"/Other http://h", Kind::None, ""},
      {"/home/user/film.mkv", Kind::None, ""},  // a file path is ignored
      {"", Kind::None, ""},
      {std::string("\0\0", 2), Kind::None, ""},
      {"unterminated record with no nul", Kind::None, ""},
  };
  for (const auto& c : cases) {
    const auto cmd = InterpretForwardedText(c.bytes);
    EXPECT_EQ(cmd.kind, c.kind) << c.bytes;
    EXPECT_EQ(cmd.text, c.text) << c.bytes;
  }
  EXPECT_THROW(InterpretForwardedText("Nivra://bad%g1"), nivra::Error);
}

}  // namespace
}  // namespace nivra::app
