#include "ads/ad_store.h"

#include <system_error>

#include "platform/atomic_file.h"
#include "platform/folders.h"

namespace nivra::ads {
namespace {

std::span<const std::uint8_t> asBytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

template <std::size_t N>
bool writeRecordFile(const std::filesystem::path& file, const std::array<std::uint8_t, N>& record) {
  std::string content;
  if (auto old = platform::readWholeFile(file)) content = std::move(*old);
  if (content.size() < N) content.resize(N);
  content.replace(0, N, reinterpret_cast<const char*>(record.data()), N);
  return platform::writeFileAtomically(file, content);
}

// A save killed between writing its temporary file and the rename leaves that file behind,
// named "." + the file's name + "." + six characters (writeFileAtomically's pattern). They are
// removed at load, before this process saves anything itself.
void removeTemporariesOfKilledSaves(const std::filesystem::path& dataDir) {
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dataDir, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    for (const char* file : {kMiniFile, kRightFile, kCountersFile}) {
      const std::string prefix = std::string(".") + file + ".";
      std::error_code ignored;
      if (name.size() == prefix.size() + 6 && name.starts_with(prefix))
        std::filesystem::remove(it->path(), ignored);
    }
  }
}

}  // namespace

void LoadAdState(const std::filesystem::path& dataDir, AdStoredState& state) {
  removeTemporariesOfKilledSaves(dataDir);
  // A record file holds the record at its start; a shorter file is skipped, an unreadable one
  // ends the loading.
  std::error_code ec;
  if (std::filesystem::exists(dataDir / kMiniFile, ec)) {
    const auto bytes = platform::readWholeFile(dataDir / kMiniFile);
    if (!bytes) return;
    if (auto record = DecodeMiniRecord(asBytes(*bytes))) state.mini = *record;
  }
  if (std::filesystem::exists(dataDir / kRightFile, ec)) {
    const auto bytes = platform::readWholeFile(dataDir / kRightFile);
    if (!bytes) return;
    if (auto record = DecodeRightRecord(asBytes(*bytes))) state.right = *record;
  }
  state.counters.Load(dataDir / kCountersFile);
}

void SaveAdState(const std::filesystem::path& dataDir, const AdStoredState& state) {
  if (!platform::ensureDir(dataDir)) return;
  writeRecordFile(dataDir / kMiniFile, EncodeMiniRecord(state.mini));
  writeRecordFile(dataDir / kRightFile, EncodeRightRecord(state.right));
  state.counters.Save(dataDir / kCountersFile);
}

}  // namespace nivra::ads
