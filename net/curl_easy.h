#pragma once
// One libcurl easy handle set up the way every HTTP transfer of the program is: no signals, a
// time limit to connect, a stall limit (less than one byte a second for that long aborts), a
// stop token looked at least once a second, and the reply's header lines and body pieces handed
// to two callbacks. What differs between requests (address, request line, protocols, redirect
// rules, headers) the caller sets on handle() before perform().

#include <curl/curl.h>

#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::net {

class CurlEasy final {
 public:
  // Takes one piece of the reply; false aborts the transfer (perform() then fails).
  using Sink = std::function<bool(std::string_view data)>;
  struct Setup {
    long connectTimeoutMs = 30000;
    long stallSeconds = 30;
    std::stop_token stop;  // a stop request aborts the transfer
    Sink onHeader;         // one header line at a time, line end included; status lines too
    Sink onBody;           // body bytes of every reply, redirects' included
  };

  explicit CurlEasy(Setup setup);
  ~CurlEasy();
  CurlEasy(const CurlEasy&) = delete;
  CurlEasy& operator=(const CurlEasy&) = delete;

  // False when libcurl could not make a handle; nothing else may be called then.
  explicit operator bool() const { return easy_ != nullptr; }
  // For the request's own options; the callbacks and limits above are set already.
  CURL* handle() const { return easy_.get(); }
  // Sends these header lines ("Name: value"; "Name:" removes one curl would add). Kept until
  // the next call. False when libcurl runs out of memory (no header list is set then).
  bool setHeaders(const std::vector<std::string>& lines);
  CURLcode perform();
  // The status of the last reply received, 0 when none arrived.
  long responseCode() const;

 private:
  struct Deleter {
    void operator()(CURL* c) const;
    void operator()(curl_slist* l) const;
  };
  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
  static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

  Setup setup_;
  std::unique_ptr<CURL, Deleter> easy_;
  std::unique_ptr<curl_slist, Deleter> headers_;
};

}  // namespace nivra::net
