#include "net/download_file.h"

#include "net/ftp_client.h"
#include "net/http_download.h"
#include "platform/text.h"

namespace nivra::net {

bool DownloadFile(std::string_view url, const std::filesystem::path& localFile,
                  std::stop_token stop) {
  if (nivra::text::startsWithNoCase(url, "FTP")) return FtpDownload(url, localFile, stop);
  if (nivra::text::startsWithNoCase(url, "HTTP")) return HttpDownload(url, localFile, stop);
  return false;
}

}  // namespace nivra::net
