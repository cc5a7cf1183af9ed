#pragma once
// Diagnostic lines of the system ("psStop", "RunTray", ...). They are part of the behaviour:
// appended to the file named by NIVRA_DEBUG_LOG (one line each, flushed) and printed to stderr
// when NIVRA_DEBUG=1. Safe to call from any thread.

#include <string_view>

namespace nivra::platform {

void debugOutput(std::string_view line);

}  // namespace nivra::platform
