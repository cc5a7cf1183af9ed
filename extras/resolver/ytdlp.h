#pragma once
// Resolving a page with yt-dlp, when it is installed: the program named by NIVRA_YTDLP (default
// "yt-dlp" on PATH; "none" turns it off) prints the duration and the media addresses of the
// page's best single-file format.

#include <atomic>
#include <optional>
#include <string>

#include "extras/resolver/page_scan.h"

namespace nivra::extras {

// The yt-dlp program to use; empty when there is none.
std::string YtDlpProgram();
// The page's media through yt-dlp; nullopt when it is missing, fails or finds no address.
std::optional<PageMedia> ResolveWithYtDlp(const std::string& program, const std::string& pageUrl,
                                          const std::atomic<bool>& cancelled);
// yt-dlp's output: the duration line ("NA" or seconds), then one address per line.
PageMedia ParseYtDlpOutput(const std::string& out);

}  // namespace nivra::extras
