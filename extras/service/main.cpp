// NivraExService: the stand-in for the background service. It serves the pipe protocol on
// $XDG_RUNTIME_DIR/nivra/pipe/{376E2FB8-B0C7-4A9E-8E55-6F1FDEC67F9D}: every connection carries
// one length-prefixed request and gets one length-prefixed reply. It answers the presence probe
// and the close notice with "OK" and any other request with an empty reply, and ends on SIGTERM
// or SIGINT, removing its socket.

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>

#include "net/pipe_protocol.h"
#include "net/socket_io.h"
#include "platform/debug_output.h"
#include "platform/folders.h"
#include "platform/unique_fd.h"

namespace {

using namespace nivra::net;
using nivra::platform::debugOutput;
using nivra::platform::UniqueFd;

constexpr std::size_t kMaxRequest = 64 * 1024;
constexpr std::chrono::milliseconds kClientTimeout{2000};

bool fillAddress(const std::filesystem::path& path, sockaddr_un& addr) {
  addr.sun_family = AF_UNIX;
  const std::string name = path.string();
  if (name.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, name.c_str(), name.size() + 1);
  return true;
}

// True when another instance answers on the socket (a stale file is not an instance).
bool alreadyServed(const sockaddr_un& addr) {
  UniqueFd probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  return probe &&
         ::connect(probe.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
}

std::string answer(const std::string& request) {
  if (request == RequestPayload(kProbeCode)) {
    debugOutput("NivraExService: probe");
    return "OK";
  }
  if (request == RequestPayload(kCloseNoticeCode)) {
    debugOutput("NivraExService: close notice");
    return "OK";
  }
  debugOutput("NivraExService: unknown request");
  return {};
}

void serve(int client) {
  setSocketTimeouts(client, kClientTimeout);
  const auto request = ReadPipeRequest(
      [client](char* buffer, std::size_t max) -> long {
        return static_cast<long>(::recv(client, buffer, max, 0));
      },
      kMaxRequest);
  if (!request) return;
  const std::string reply = EncodePipeMessage(answer(*request));
  sendAll(client, reply.data(), reply.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    std::cout << "usage: NivraExService\nserves the background-service pipe of the current user "
                 "until SIGTERM\n";
    return std::string(argv[1]) == "--help" ? 0 : 2;
  }
  const auto path = pipeSocketPath(kServicePipeId);
  sockaddr_un addr{};
  if (!nivra::platform::ensureDir(path.parent_path()) || !fillAddress(path, addr)) {
    std::cerr << "NivraExService: cannot use " << path.string() << "\n";
    return 1;
  }
  ::chmod(path.parent_path().c_str(), 0700);
  if (alreadyServed(addr)) {
    std::cerr << "NivraExService: already running\n";
    return 1;
  }

  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  UniqueFd stop(::signalfd(-1, &stopSignals, SFD_CLOEXEC));

  UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  ::unlink(path.c_str());
  if (!stop || !listener ||
      ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
      ::chmod(path.c_str(), 0600) != 0 || ::listen(listener.get(), 16) != 0) {
    std::cerr << "NivraExService: cannot listen on " << path.string() << ": "
              << systemErrorText(errno) << "\n";
    return 1;
  }
  debugOutput("NivraExService: listening");
  std::cout << "listening " << path.string() << std::endl;

  for (;;) {
    pollfd fds[2] = {{listener.get(), POLLIN, 0}, {stop.get(), POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[1].revents != 0) break;
    UniqueFd client(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (client) serve(client.get());
  }
  ::unlink(path.c_str());
  debugOutput("NivraExService: stopped");
  return 0;
}
