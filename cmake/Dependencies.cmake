# Every outside package, found once for the whole tree. Included from the top-level
# CMakeLists.txt, so the imported targets below are visible in every folder.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Test DBus)

# libcurl: the network clients, the catalogue fetch and the resolver stand-in (CURL::libcurl).
find_package(CURL REQUIRED)
find_package(nlohmann_json 3.10 REQUIRED)
find_package(pugixml REQUIRED)

# D-Bus for the service manager and the power manager (PkgConfig::NIVRA_SYSTEMD).
pkg_check_modules(NIVRA_SYSTEMD REQUIRED IMPORTED_TARGET libsystemd)

# Xlib for the system-wide hot key's own X connection (PkgConfig::NIVRA_X11).
pkg_check_modules(NIVRA_X11 REQUIRED IMPORTED_TARGET x11)

# GStreamer: the core and the modules the media graph and the audio filter element need
# (PkgConfig::NIVRA_GST); the discoverer of the movie runtime (PkgConfig::NIVRA_GST_PBUTILS);
# appsrc/appsink of the engine's tests (PkgConfig::NIVRA_GST_APP).
pkg_check_modules(NIVRA_GST REQUIRED IMPORTED_TARGET
  gstreamer-1.0 gstreamer-base-1.0 gstreamer-audio-1.0 gstreamer-video-1.0)
pkg_check_modules(NIVRA_GST_PBUTILS REQUIRED IMPORTED_TARGET gstreamer-pbutils-1.0)
pkg_check_modules(NIVRA_GST_APP REQUIRED IMPORTED_TARGET gstreamer-app-1.0)

# Tests and benchmarks.
find_package(GTest REQUIRED)
find_package(benchmark REQUIRED)
