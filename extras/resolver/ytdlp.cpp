#include "extras/resolver/ytdlp.h"

#include <charconv>
#include <chrono>
#include <cstdlib>

#include "platform/process_launcher.h"
#include "platform/process_runner.h"
#include "platform/text.h"
#include "player/flash/segment_list.h"

namespace nivra::extras {

std::string YtDlpProgram() {
  const char* named = std::getenv("NIVRA_YTDLP");
  const std::string program = named && *named ? named : "yt-dlp";
  if (program == "none") return {};
  return platform::findProgram(program).string();
}

PageMedia ParseYtDlpOutput(const std::string& out) {
  PageMedia media;
  auto lines = player::NonEmptyTrimmedLines(out);
  if (lines.empty()) return media;
  double seconds = 0;
  const std::string& first = lines.front();
  const auto [end, ec] = std::from_chars(first.data(), first.data() + first.size(), seconds);
  if (ec == std::errc() && end == first.data() + first.size() && seconds > 0 && seconds < 1e9)
    media.durationSeconds = seconds;
  for (std::size_t i = 1; i < lines.size() && media.urls.size() < kMaxPageMedia; ++i)
    if (text::startsWithNoCase(lines[i], "http://") || text::startsWithNoCase(lines[i], "https://"))
      media.urls.push_back(std::move(lines[i]));
  return media;
}

std::optional<PageMedia> ResolveWithYtDlp(const std::string& program, const std::string& pageUrl,
                                          const std::atomic<bool>& cancelled) {
  if (program.empty()) return std::nullopt;
  const auto run =
      platform::runAndCapture(program,
                              {"--no-playlist", "--no-warnings", "--quiet", "-f", "b", "--print",
                               "%(duration)s", "--print", "%(urls)s", "--", pageUrl},
                              {{}, platform::ProcessOptions::Errors::Discard},
                              {std::chrono::seconds(60), &cancelled, std::size_t{1} << 20});
  if (!run || run->exitCode != 0) return std::nullopt;
  PageMedia media = ParseYtDlpOutput(run->out);
  if (media.urls.empty()) return std::nullopt;
  return media;
}

}  // namespace nivra::extras
