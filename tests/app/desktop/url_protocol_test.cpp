// The URL protocol: the classes-root keys, the desktop entries and the default handler, in
// private XDG folders.

#include "app/desktop/url_protocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/desktop/desktop_entry.h"
#include "platform/process_launcher.h"
#include "platform/process_runner.h"
#include "platform/registry.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::app {
namespace {

using platform::Hive;
using ::testing::HasSubstr;

const std::string kHandlers =
    "x-scheme-handler/nivra=nivra-url.desktop\nx-scheme-handler/Nivra=nivra-url.desktop\n";

class UrlProtocolTest : public ::testing::Test {
 protected:
  UrlProtocolTest() {
    env.set("HOME", home.path().string());
    env.set("XDG_CONFIG_HOME", (home / "config").string());
    env.set("XDG_DATA_HOME", (home / "data").string());
    env.set("XDG_CONFIG_DIRS", (home / "none").string());
    env.set("XDG_DATA_DIRS", (home / "none").string());
    env.set("XDG_CURRENT_DESKTOP", std::nullopt);
  }
  std::string hive() const { return test::readFile(home / "config/Nivra/registry/HKCR.reg"); }
  std::string entry(const char* name) const {
    return test::readFile(home / "data/applications" / name);
  }
  std::string mimeApps() const { return test::readFile(home / "config/mimeapps.list"); }

  test::TempDir home;
  test::EnvGuard env;
};

TEST_F(UrlProtocolTest, FirstStartWritesTheKeysAndTheHandler) {
  RegisterUrlProtocol("/opt/Nivra/nivra");
  EXPECT_EQ(hive(),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CLASSES_ROOT\\Nivra]\n"
            "@=\"URL:Nivra Protocol\"\n"
            "\"@\"=\"URL:Nivra Protocol\"\n"
            "\"Version\"=\"1.0\"\n"
            "\"URL Protocol\"=\"\"\n\n"
            "[HKEY_CLASSES_ROOT\\Nivra\\DefaultIcon]\n"
            "@=\"/opt/Nivra/nivra\"\n\n"
            "[HKEY_CLASSES_ROOT\\Nivra\\Shell]\n\n"
            "[HKEY_CLASSES_ROOT\\Nivra\\Shell\\Open]\n\n"
            "[HKEY_CLASSES_ROOT\\Nivra\\Shell\\Open\\Command]\n"
            "@=\"\\\"/opt/Nivra/nivra\\\" \\\"%1\\\"\"\n");
  EXPECT_EQ(
      entry(kUrlHandlerEntry),
      "[Desktop Entry]\nType=Application\nName=Nivra\nExec=/opt/Nivra/nivra %u\n"
      "MimeType=x-scheme-handler/nivra;x-scheme-handler/Nivra;\nNoDisplay=true\nTerminal=false\n");
  const std::string app = entry(kApplicationEntry);
  EXPECT_THAT(app, HasSubstr("\nExec=/opt/Nivra/nivra /Open %F\n"));
  EXPECT_THAT(app, HasSubstr("\nIcon=video-x-generic\n"));
  EXPECT_THAT(app, HasSubstr("\nMimeType=video/mp4;video/x-matroska;"));
  EXPECT_EQ(mimeApps(), "[Default Applications]\n" + kHandlers);
}

TEST_F(UrlProtocolTest, SameFolderAgainLeavesEverythingAsTheUserLeftIt) {
  RegisterUrlProtocol("/opt/Nivra/nivra");
  platform::Registry reg = platform::Registry::system();
  reg.writeString(Hive::ClassesRoot, "Nivra", "Version", "user");
  const std::string userChoice = "[Default Applications]\nx-scheme-handler/nivra=other.desktop\n";
  home.write("config/mimeapps.list", userChoice);

  RegisterUrlProtocol("/OPT/nivra/NIVRA");  // the path compares without regard to case
  EXPECT_EQ(reg.readString(Hive::ClassesRoot, "Nivra", "Version"), "user");
  EXPECT_EQ(mimeApps(), userChoice);
}

TEST_F(UrlProtocolTest, MovedProgramRegistersItsNewPath) {
  RegisterUrlProtocol("/opt/Nivra/nivra");
  home.write(
      "config/mimeapps.list",
      "[Default Applications]\ntext/html=browser.desktop\nx-scheme-handler/nivra=other.desktop\n"
      "\n[Added Associations]\nvideo/mp4=nivra.desktop;\n");
  RegisterUrlProtocol("/home/u/new place/$nivra");
  platform::Registry reg = platform::Registry::system();
  EXPECT_EQ(reg.readString(Hive::ClassesRoot, "Nivra\\DefaultIcon", ""),
            "/home/u/new place/$nivra");
  EXPECT_EQ(reg.readString(Hive::ClassesRoot, "Nivra\\Shell\\Open\\Command", ""),
            "\"/home/u/new place/$nivra\" \"%1\"");
  EXPECT_THAT(entry(kUrlHandlerEntry), HasSubstr("\nExec=\"/home/u/new place/\\$nivra\" %u\n"));
  EXPECT_EQ(mimeApps(), "[Default Applications]\ntext/html=browser.desktop\n" + kHandlers +
                            "\n[Added Associations]\nvideo/mp4=nivra.desktop;\n");
}

TEST_F(UrlProtocolTest, DesktopToolsFindTheHandler) {
  const auto xdgMime = platform::findProgram("xdg-mime");
  if (xdgMime.empty()) GTEST_SKIP() << "xdg-utils is not installed";
  RegisterUrlProtocol("/opt/Nivra/nivra");
  const auto run = platform::runAndCapture(xdgMime, {"query", "default", kUrlSchemeMime});
  ASSERT_TRUE(run);
  EXPECT_EQ(run->out, "nivra-url.desktop\n");
}

TEST_F(UrlProtocolTest, XdgOpenHandsTheLinkToTheProgram) {
  const auto xdgOpen = platform::findProgram("xdg-open");
  if (xdgOpen.empty()) GTEST_SKIP() << "xdg-utils is not installed";
  // A stand-in program that notes the arguments it was started with.
  const auto program = home.write("prog/nivra", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n");
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  RegisterUrlProtocol(program.string());
  env.set("DISPLAY", ":0");  // xdg-open only opens for a graphical session
  env.set("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/nivra-test-bus");
  for (const std::string link : {"Nivra://Abc%20d?x=1", "nivra://lower"}) {
    const auto run = platform::runAndCapture(xdgOpen, {link});
    ASSERT_TRUE(run);
    EXPECT_EQ(run->exitCode, 0) << run->err;
    EXPECT_EQ(test::readFile(program.string() + ".args"), link + "\n");
  }
}

TEST_F(UrlProtocolTest, IconBesideTheProgramIsUsed) {
  home.write("prog/nivra.png", "png");
  RegisterUrlProtocol((home / "prog/nivra").string());
  EXPECT_THAT(entry(kApplicationEntry),
              HasSubstr("\nIcon=" + (home / "prog/nivra.png").string() + "\n"));
}

struct MimeAppsCase {
  const char* name;
  std::string before;
  std::string after;
};

void PrintTo(const MimeAppsCase& c, std::ostream* os) { *os << c.name; }

class WithDefaultApplicationTest : public ::testing::TestWithParam<MimeAppsCase> {};

TEST_P(WithDefaultApplicationTest, SetsOnlyTheOneDefault) {
  EXPECT_EQ(
      WithDefaultApplication(GetParam().before, "x-scheme-handler/nivra", "nivra-url.desktop"),
      GetParam().after);
}

const std::string kLine = "x-scheme-handler/nivra=nivra-url.desktop\n";

struct QuotedCase {
  const char* name;
  std::string path;
  std::string word;
};

void PrintTo(const QuotedCase& c, std::ostream* os) { *os << c.name; }

class DesktopQuotedTest : public ::testing::TestWithParam<QuotedCase> {};

TEST_P(DesktopQuotedTest, OneWordOfTheExecLine) {
  EXPECT_EQ(DesktopQuoted(GetParam().path), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DesktopQuotedTest,
    ::testing::Values(QuotedCase{"Plain", "/opt/Nivra/nivra", "/opt/Nivra/nivra"},
                      QuotedCase{"Space", "/opt/My Nivra/nivra", "\"/opt/My Nivra/nivra\""},
                      QuotedCase{"Dollar", "/a/$b", "\"/a/\\$b\""},
                      QuotedCase{"QuoteAndBacktick", "/a\"b`c", "\"/a\\\"b\\`c\""},
                      QuotedCase{"Percent", "/a/100%/nivra", "/a/100%%/nivra"},
                      QuotedCase{"PercentQuoted", "/a b/%u", "\"/a b/%%u\""}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Cases, WithDefaultApplicationTest,
    ::testing::Values(
        MimeAppsCase{"Empty", "", "[Default Applications]\n" + kLine},
        MimeAppsCase{"OtherSectionOnly", "[Added Associations]\na/b=c.desktop\n",
                     "[Added Associations]\na/b=c.desktop\n\n[Default Applications]\n" + kLine},
        MimeAppsCase{"AddedToTheLastSection", "[Default Applications]\na/b=c.desktop\n",
                     "[Default Applications]\na/b=c.desktop\n" + kLine},
        MimeAppsCase{"AddedBeforeTheNextSection",
                     "[Default Applications]\na/b=c.desktop\n[X]\ny=z\n",
                     "[Default Applications]\na/b=c.desktop\n" + kLine + "[X]\ny=z\n"},
        MimeAppsCase{"Replaced",
                     "[Default Applications]\nx-scheme-handler/nivra=old.desktop\na/b=c\n",
                     "[Default Applications]\n" + kLine + "a/b=c\n"},
        MimeAppsCase{
            "OtherSectionsKeyKept",
            "[Removed Associations]\nx-scheme-handler/nivra=old.desktop\n[Default Applications]\n",
            "[Removed Associations]\nx-scheme-handler/nivra=old.desktop\n[Default Applications]\n" +
                kLine},
        MimeAppsCase{"DuplicateDefaultsBecomeOne",
                     "[Default Applications]\nx-scheme-handler/nivra=a\nx-scheme-handler/nivra=b\n",
                     "[Default Applications]\n" + kLine}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nivra::app
