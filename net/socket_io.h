#pragma once
// Small POSIX socket helpers shared by the network clients.

#include <chrono>
#include <cstddef>
#include <string>

namespace nivra::net {

// The system's text for an errno value ("Connection refused").
std::string systemErrorText(int error);
// Sets the send and receive time-outs of a socket. False when the options cannot be set.
bool setSocketTimeouts(int fd, std::chrono::milliseconds timeout);
// Waits until `fd` is readable (or at end of stream / in error). False when `timeout` passes
// first. A negative timeout waits without limit.
bool waitReadable(int fd, std::chrono::milliseconds timeout);
// Sends all bytes (never raising SIGPIPE). False when the peer or the send time-out stops it.
bool sendAll(int fd, const void* data, std::size_t size);

}  // namespace nivra::net
