#include "net/http_download.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <string>

#include "net/curl_easy.h"
#include "net/download_urls.h"
#include "net/socket_io.h"
#include "platform/error.h"
#include "platform/text.h"
#include "platform/unique_fd.h"

namespace nivra::net {
namespace {

struct CurlUrlDeleter {
  void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

// The body goes to a temporary file beside the target, renamed over it when complete.
class PartFile {
 public:
  explicit PartFile(std::filesystem::path target) : target_(std::move(target)) {}
  ~PartFile() {
    if (fd_) {
      fd_.reset();
      ::unlink(tempPath_.c_str());
    }
  }
  PartFile(const PartFile&) = delete;
  PartFile& operator=(const PartFile&) = delete;

  void write(const char* data, std::size_t size) {
    open();
    while (size > 0) {
      const ssize_t n = ::write(fd_.get(), data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) fail("Cannot write file");
      data += n;
      size -= static_cast<std::size_t>(n);
    }
  }
  void commit() {
    open();
    if (::fdatasync(fd_.get()) != 0) fail("Cannot write file");
    fd_.reset();
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
      const int error = errno;
      ::unlink(tempPath_.c_str());
      throw nivra::Error("Cannot create file \"" + target_.string() + "\". " +
                         systemErrorText(error));
    }
  }

 private:
  void open() {
    if (fd_) return;
    std::string name = target_.string() + ".XXXXXX";
    fd_ = platform::UniqueFd(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd_) fail("Cannot create file");
    tempPath_ = name;
    ::fchmod(fd_.get(), 0644);
  }
  [[noreturn]] void fail(const char* what) {
    throw nivra::Error(std::string(what) + " \"" + target_.string() + "\". " +
                       systemErrorText(errno));
  }

  std::filesystem::path target_;
  std::filesystem::path tempPath_;
  platform::UniqueFd fd_;
};

constexpr int kMaxRedirects = 5;

struct Transfer {
  explicit Transfer(const std::filesystem::path& target) : file(target) {}
  PartFile file;
  // What the headers of the current reply said.
  long status = 0;
  bool hasLength = false;
  bool hasLocation = false;
  std::optional<nivra::Error> fileError;

  // A redirect is followed, and its own body thrown away.
  bool redirects() const {
    const bool redirectStatus =
        status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    return redirectStatus && hasLocation;
  }

  bool onHeader(std::string_view line) {
    if (nivra::text::startsWithNoCase(line, "HTTP/")) {  // a new reply begins
      const auto space = line.find(' ');
      const auto code = space == std::string_view::npos
                            ? std::nullopt
                            : nivra::text::parseInteger(line.substr(space + 1, 3));
      status = code ? static_cast<long>(*code) : 0;
      hasLength = false;
      hasLocation = false;
    }
    if (nivra::text::startsWithNoCase(line, "content-length:")) hasLength = true;
    if (nivra::text::startsWithNoCase(line, "location:")) hasLocation = true;
    return true;
  }

  bool onBody(std::string_view data) {
    if (redirects()) return true;
    if (!hasLength) return false;  // ends the transfer: such a reply is never stored
    try {
      file.write(data.data(), data.size());
    } catch (const nivra::Error& e) {
      fileError = e;
      return false;
    }
    return true;
  }
};

// Control characters would break the request line; a space is sent escaped.
std::optional<std::string> requestTarget(std::string_view path) {
  std::string out;
  for (char c : path) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) return std::nullopt;
    if (c == ' ')
      out += "%20";
    else
      out += c;
  }
  return out;
}

// The absolute address a redirect reply points to, when it is one to follow (http or https).
std::optional<std::string> redirectTarget(CURL* c) {
  char* location = nullptr;
  if (curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &location) != CURLE_OK || !location)
    return std::nullopt;
  const std::string_view where(location);
  if (!nivra::text::startsWithNoCase(where, "http://") &&
      !nivra::text::startsWithNoCase(where, "https://"))
    return std::nullopt;
  return std::string(where);
}

}  // namespace

bool HttpDownload(std::string_view url, const std::filesystem::path& localFile,
                  std::stop_token stop) {
  const HttpAddress address = ParseHttpUrl(url);
  const auto target = requestTarget(address.path);
  if (!target || target->empty()) return false;

  Transfer transfer(localFile);
  CurlEasy easy({kHttpTimeoutMs, kHttpTimeoutMs / 1000, std::move(stop),
                 [&](std::string_view line) { return transfer.onHeader(line); },
                 [&](std::string_view data) { return transfer.onBody(data); }});
  std::unique_ptr<CURLU, CurlUrlDeleter> where(curl_url());
  if (!where || !easy) return false;
  const std::string port = std::to_string(address.port);
  if (curl_url_set(where.get(), CURLUPART_SCHEME, "http", 0) != CURLUE_OK ||
      curl_url_set(where.get(), CURLUPART_HOST, address.host.c_str(), 0) != CURLUE_OK ||
      curl_url_set(where.get(), CURLUPART_PORT, port.c_str(), 0) != CURLUE_OK)
    return false;
  // The path only serves to resolve a relative redirect; the request line is `target` as it is.
  const auto query = target->find('?');
  curl_url_set(where.get(), CURLUPART_PATH, target->substr(0, query).c_str(), 0);
  if (query != std::string::npos)
    curl_url_set(where.get(), CURLUPART_QUERY, target->substr(query + 1).c_str(), 0);

  // Removing curl's own "Accept" leaves only Host and User-Agent in the request.
  if (!easy.setHeaders({"Accept:"})) return false;
  const std::string agent(kHttpUserAgent);
  CURL* c = easy.handle();
  curl_easy_setopt(c, CURLOPT_CURLU, where.get());
  curl_easy_setopt(c, CURLOPT_REQUEST_TARGET, target->c_str());
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(c, CURLOPT_USERAGENT, agent.c_str());

  // The first request goes out with the path as given; redirects are followed here rather than
  // by curl, which would repeat that request line. Only the final reply counts.
  std::string redirectedTo;
  for (int hop = 0;; ++hop) {
    const CURLcode result = easy.perform();
    if (transfer.fileError) throw *transfer.fileError;
    // A body cut short (connection lost, time-out, stop) is a failed download, not a file.
    if (result != CURLE_OK) return false;
    if (!transfer.redirects()) break;
    auto next = redirectTarget(c);
    if (!next || hop == kMaxRedirects) return false;
    redirectedTo = std::move(*next);
    curl_easy_setopt(c, CURLOPT_CURLU, nullptr);
    curl_easy_setopt(c, CURLOPT_REQUEST_TARGET, nullptr);
    curl_easy_setopt(c, CURLOPT_URL, redirectedTo.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  }
  if (!transfer.hasLength) return false;
  transfer.file.commit();
  return true;
}

}  // namespace nivra::net
