#pragma once
// The downloader's entry point: one "ftp://" or "http://" URL into one local file.

#include <filesystem>
#include <stop_token>
#include <string_view>

namespace nivra::net {

// FtpDownload when the URL begins with "FTP", HttpDownload when it begins with "HTTP" (any
// letter case; so "https://…" goes to HttpDownload, which treats it as plain HTTP), otherwise
// false at once. Blocks the calling thread; may throw what HttpDownload throws.
bool DownloadFile(std::string_view url, const std::filesystem::path& localFile,
                  std::stop_token stop = {});

}  // namespace nivra::net
