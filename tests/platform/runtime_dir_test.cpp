// The private runtime folder that holds the instance locks and window sockets: a folder that
// another user could have prepared is never used, and lock files are never followed through
// links.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "platform/folders.h"
#include "platform/instance_lock.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::platform {
namespace {
namespace fs = std::filesystem;

constexpr uid_t kOtherUser = 65534;

bool isPrivateFolderOfMine(const fs::path& dir) {
  struct stat st {};
  return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 0777) == 0700;
}

// runtimeDir() ends in a slash; compare the folder itself.
fs::path withoutSlash(const fs::path& p) { return p.has_filename() ? p : p.parent_path(); }

struct Case {
  const char* name;
  bool needsRoot;
  // Prepares `candidate` (the folder the runtime folder would be) below `base`.
  std::function<void(const fs::path& base, const fs::path& candidate)> prepare;
  bool acceptedAsIs;
};

TEST(RuntimeDir, FallbackFolderIsUsedOnlyWhenItIsPrivateAndMine) {
  const std::string fallbackName = "nivra-" + std::to_string(::getuid());
  const Case cases[] = {
      {"missing: created", false, [](const fs::path&, const fs::path&) {}, true},
      {"mine and 0700", false,
       [](const fs::path&, const fs::path& c) { ASSERT_EQ(::mkdir(c.c_str(), 0700), 0); }, true},
      {"mine but 0755", false,
       [](const fs::path&, const fs::path& c) {
         ASSERT_EQ(::mkdir(c.c_str(), 0700), 0);
         ASSERT_EQ(::chmod(c.c_str(), 0755), 0);
       },
       false},
      {"mine but 0777", false,
       [](const fs::path&, const fs::path& c) {
         ASSERT_EQ(::mkdir(c.c_str(), 0700), 0);
         ASSERT_EQ(::chmod(c.c_str(), 0777), 0);
       },
       false},
      {"a link to a private folder of mine", false,
       [](const fs::path& base, const fs::path& c) {
         ASSERT_EQ(::mkdir((base / "elsewhere").c_str(), 0700), 0);
         ASSERT_EQ(::symlink((base / "elsewhere").c_str(), c.c_str()), 0);
       },
       false},
      {"a plain file", false, [](const fs::path&, const fs::path& c) { std::ofstream(c) << "x"; },
       false},
      {"another user's 0700 folder", true,
       [](const fs::path&, const fs::path& c) {
         ASSERT_EQ(::mkdir(c.c_str(), 0700), 0);
         ASSERT_EQ(::chown(c.c_str(), kOtherUser, kOtherUser), 0);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && ::geteuid() != 0) continue;
    test::TempDir base;
    test::EnvGuard env;
    env.set("XDG_RUNTIME_DIR", std::nullopt);
    env.set("TMPDIR", base.path().string());
    const fs::path candidate = base / fallbackName;
    c.prepare(base.path(), candidate);
    const fs::path dir = withoutSlash(runtimeDir());
    EXPECT_TRUE(isPrivateFolderOfMine(dir)) << dir;
    if (c.acceptedAsIs)
      EXPECT_EQ(dir, candidate);
    else
      EXPECT_NE(dir, candidate);
    EXPECT_EQ(withoutSlash(runtimeDir()), dir) << "one process keeps one folder";
  }
}

TEST(RuntimeDir, FolderBelowTheSessionRuntimeFolderIsCheckedToo) {
  test::TempDir base;
  test::EnvGuard env;
  env.set("XDG_RUNTIME_DIR", base.path().string());
  EXPECT_EQ(withoutSlash(runtimeDir()), base / "nivra");
  EXPECT_TRUE(isPrivateFolderOfMine(base / "nivra"));

  test::TempDir other;
  env.set("XDG_RUNTIME_DIR", other.path().string());
  ASSERT_EQ(::mkdir((other / "planted").c_str(), 0700), 0);
  ASSERT_EQ(::symlink((other / "planted").c_str(), (other / "nivra").c_str()), 0);
  const fs::path dir = withoutSlash(runtimeDir());
  EXPECT_NE(dir, other / "nivra");
  EXPECT_TRUE(isPrivateFolderOfMine(dir)) << dir;
}

TEST(InstanceLock, LockFileThatIsALinkIsNotFollowed) {
  test::TempDir base;
  test::EnvGuard env;
  env.set("XDG_RUNTIME_DIR", base.path().string());
  const fs::path dir = withoutSlash(runtimeDir());
  const fs::path victim = base / "victim";
  ASSERT_EQ(::symlink(victim.c_str(), (dir / "Nivra_Mutex_Link.lock").c_str()), 0);
  {
    InstanceLock lock("Nivra_Mutex_Link");
    EXPECT_FALSE(lock.alreadyExists());
  }
  EXPECT_FALSE(fs::exists(victim)) << "the link was followed and its target created";
}

}  // namespace
}  // namespace nivra::platform
