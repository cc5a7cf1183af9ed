// The class registration in the HKCR hive: what is written, and that removal takes exactly
// that away again.

#include "control/registration.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/version_info.h"
#include "tests/support/temp_dir.h"

namespace nivra::control {
namespace {

using platform::Hive;

const std::string K = "CLSID\\{7E27DAB6-C296-4561-A275-FFB7F34F35D7}";
const std::string P = "Kinoro.CoKinoro";

struct Hives {
  nivra::test::TempDir dir;
  platform::Registry registry{dir / "user", dir / "install"};
  std::string text() const { return nivra::test::readFile(dir / "user" / "HKCR.reg"); }
};

TEST(ControlRegistration, WritesTheClassProgIdAndTypeLibraryKeys) {
  Hives h;
  const std::string file = "/opt/nivra player/libkinoro.so";  // spaces stay as they are
  ASSERT_EQ(registerControl(h.registry, file), S_OK);
  struct Row {
    std::string key, name, data;
  };
  const Row rows[] = {
      {K, "", "NivraPlayer Control"},
      {K + "\\InprocServer32", "", file},
      {K + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {P, "", "NivraPlayer Control"},
      {P + "\\Clsid", "", "{7E27DAB6-C296-4561-A275-FFB7F34F35D7}"},
      {K + "\\ProgID", "", P},
      {K + "\\Version", "", "1.0"},
      {K + "\\TypeLib", "", "{4345C111-F343-4F5B-9A56-A7083B5A1666}"},
      {K + "\\MiscStatus", "", "0"},
      {K + "\\MiscStatus\\1", "", "205201"},
      {K + "\\ToolboxBitmap32", "", file + ",2"},
      {K + "\\Verb\\0", "", "Properties,0,2"},
      {"TypeLib\\{4345C111-F343-4F5B-9A56-A7083B5A1666}\\1.0", "", "NivraPlayer Library"},
      {"TypeLib\\{4345C111-F343-4F5B-9A56-A7083B5A1666}\\1.0\\FLAGS", "", "2"},
      {"Interface\\{FE0AE6B2-ADCF-44B1-AE5F-4CDA6D7CBC83}", "", "IKinoro"},
      {"Interface\\{9AC552DF-037E-4C6F-B708-52C75C6546E2}\\TypeLib", "Version", "1.0"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(h.registry.readString(Hive::ClassesRoot, row.key, row.name), row.data)
        << row.key << " " << row.name;
  EXPECT_TRUE(h.registry.keyExists(Hive::ClassesRoot, K + "\\Control"));
  EXPECT_TRUE(h.registry.keyExists(Hive::ClassesRoot, K + "\\Verb"));
  // In the hive file as the export text format writes it.
  EXPECT_NE(h.text().find("[HKEY_CLASSES_ROOT\\" + K + "\\InprocServer32]\n@=\"" + file +
                          "\"\n\"ThreadingModel\"=\"Apartment\""),
            std::string::npos)
      << h.text();
}

TEST(ControlRegistration, UnregisterRemovesExactlyWhatWasWritten) {
  Hives h;
  // The root keys a classes hive always has (removal leaves them, as it leaves CLSID).
  ASSERT_TRUE(h.registry.writeString(
      Hive::ClassesRoot, "TypeLib\\{00000000-0000-0000-0000-000000000002}\\1.0", "", "lib"));
  ASSERT_TRUE(h.registry.writeString(Hive::ClassesRoot,
                                     "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}", "", "other"));
  ASSERT_TRUE(h.registry.writeString(Hive::ClassesRoot,
                                     "Interface\\{00000000-0000-0000-0000-000000000001}", "", "x"));
  const std::string before = h.text();
  ASSERT_EQ(registerControl(h.registry, "/lib/libkinoro.so"), S_OK);
  ASSERT_NE(h.text(), before);
  ASSERT_EQ(unregisterControl(h.registry), S_OK);
  EXPECT_EQ(h.text(), before);
  // Removing again finds nothing to remove and is no failure.
  EXPECT_EQ(unregisterControl(h.registry), S_OK);
  EXPECT_EQ(h.text(), before);
}

TEST(ControlRegistration, TheLibrarySaysInItsVersionThatItRegistersItself) {
  EXPECT_EQ(platform::readVersionString(NIVRA_KINORO_LIBRARY, "OleSelfRegister"), "1");
  EXPECT_EQ(platform::readVersionString(NIVRA_KINORO_LIBRARY, "FileVersion"),
            NIVRA_PROJECT_VERSION);
}

TEST(ControlRegistration, AWriteThatFailsGivesEFail) {
  Hives h;
  std::ofstream(h.dir / "user") << "a file where the folder should be";
  EXPECT_EQ(registerControl(h.registry, "/lib/libkinoro.so"), E_FAIL);
}

}  // namespace
}  // namespace nivra::control
