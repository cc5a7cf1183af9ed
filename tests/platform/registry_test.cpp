#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace nivra::platform {
namespace {

TEST(RegHive, TextRoundTripWithEscapesAndDwords) {
  RegHive hive("HKEY_CURRENT_USER");
  hive.setValue("Software\\Run", "Nivra", std::string("\"/opt/a b/nivra\" /A"));
  hive.setValue("Software\\Run", "", std::string("default \\ value"));
  hive.setValue("Software\\Run", "@", std::string("named at"));
  hive.setValue("SOFTWARE\\nivra", "nopopday", std::uint32_t{46000});
  const std::string text = hive.text();
  EXPECT_NE(text.find("\"Nivra\"=\"\\\"/opt/a b/nivra\\\" /A\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"nopopday\"=dword:0000b3b0"), std::string::npos) << text;

  RegHive back = RegHive::parse("HKEY_CURRENT_USER", text);
  EXPECT_EQ(std::get<std::string>(*back.value("software\\run", "NIVRA")), "\"/opt/a b/nivra\" /A");
  EXPECT_EQ(std::get<std::string>(*back.value("Software\\Run", "")), "default \\ value");
  EXPECT_EQ(std::get<std::string>(*back.value("Software\\Run", "@")), "named at");
  EXPECT_EQ(std::get<std::uint32_t>(*back.value("Software\\Nivra", "nopopday")), 46000u);
  EXPECT_TRUE(back.keyExists("Software"));  // parents exist
  EXPECT_TRUE(back.deleteKey("software"));
  EXPECT_FALSE(back.keyExists("Software\\Run"));
}

TEST(RegHive, GarbageAndForeignHivesAreSkipped) {
  const char* text =
      "Windows Registry Editor Version 5.00\n"
      "[HKEY_LOCAL_MACHINE\\Other]\n\"a\"=\"b\"\n"
      "[HKEY_CURRENT_USER\\Good]\n\"ok\"=\"1\"\n\"bad\"=dword:xyz\n\"open=\"unterminated\n"
      "\"n\"=hex:00,01\n[HKEY_CURRENT_USER\n\"late\"=\"x\"\n\xff\xfe\x00garbage\n";
  RegHive hive = RegHive::parse("HKEY_CURRENT_USER", text);
  EXPECT_FALSE(hive.keyExists("Other"));
  EXPECT_EQ(std::get<std::string>(*hive.value("Good", "ok")), "1");
  EXPECT_FALSE(hive.value("Good", "bad"));
  EXPECT_FALSE(hive.value("Good", "n"));
  EXPECT_FALSE(hive.value("Good", "late"));
}

TEST(Registry, UserLayerShadowsInstallLayer) {
  test::TempDir dir;
  dir.write("install/HKCR.reg",
            "Windows Registry Editor Version 5.00\n\n[HKEY_CLASSES_ROOT\\CLSID\\{X}]\n@=\"install\"\n\"only\"=\"i\"\n");
  Registry reg(dir / "user", dir / "install");
  EXPECT_EQ(reg.readString(Hive::ClassesRoot, "CLSID\\{x}", ""), "install");
  ASSERT_TRUE(reg.writeString(Hive::ClassesRoot, "CLSID\\{X}", "", "user"));
  EXPECT_EQ(reg.readString(Hive::ClassesRoot, "CLSID\\{X}", ""), "user");
  EXPECT_EQ(reg.readString(Hive::ClassesRoot, "CLSID\\{X}", "only"), "i");
  EXPECT_FALSE(reg.readString(Hive::CurrentUser, "CLSID\\{X}", ""));  // another hive
  EXPECT_FALSE(reg.readDword(Hive::ClassesRoot, "CLSID\\{X}", ""));   // a string is not a dword
  EXPECT_TRUE(reg.deleteValue(Hive::ClassesRoot, "CLSID\\{X}", ""));
  EXPECT_EQ(reg.readString(Hive::ClassesRoot, "CLSID\\{X}", ""), "install");
  EXPECT_FALSE(reg.deleteValue(Hive::ClassesRoot, "CLSID\\{X}", "only"));  // install layer is read only
}

TEST(Registry, GarbageHiveReadsEmptyAndIsRepairedByAWrite) {
  test::TempDir dir;
  std::string junk(10000, '\0');
  for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 7);
  dir.write("user/HKCU.reg", junk);
  Registry reg(dir / "user", dir / "install");
  EXPECT_FALSE(reg.readString(Hive::CurrentUser, "Software", "x"));
  ASSERT_TRUE(reg.writeDword(Hive::CurrentUser, "Software\\Nivra", "n", 7));
  EXPECT_EQ(reg.readDword(Hive::CurrentUser, "software\\nivra", "N"), 7u);
}

TEST(Registry, ConcurrentWritersFromSeveralProcessesLoseNothing) {
  test::TempDir dir;
  constexpr int kProcs = 4, kEach = 25;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcs; ++p) {
    pid_t pid = ::fork();
    if (pid == 0) {
      Registry reg(dir / "user", dir / "install");
      for (int i = 0; i < kEach; ++i)
        reg.writeDword(Hive::CurrentUser, "K", "v" + std::to_string(p) + "_" + std::to_string(i), 1);
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  Registry reg(dir / "user", dir / "install");
  for (int p = 0; p < kProcs; ++p)
    for (int i = 0; i < kEach; ++i)
      EXPECT_TRUE(reg.readDword(Hive::CurrentUser, "K", "v" + std::to_string(p) + "_" + std::to_string(i)));
}

}  // namespace
}  // namespace nivra::platform
