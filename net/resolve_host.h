#pragma once
// Host names to dotted IPv4 text, for the FTP client and the ad scheduler. Thread-safe.

#include <string>
#include <string_view>

namespace nivra::net {

// Looks `host` up (IPv4) and sets `address` to the first address found, as "a.b.c.d". A dotted
// address resolves to itself. Returns false, leaving `address` untouched, when the lookup finds
// nothing, the name is empty, longer than 255 bytes or holds a zero byte.
bool ResolveHostIp(std::string_view host, std::string& address);

}  // namespace nivra::net
