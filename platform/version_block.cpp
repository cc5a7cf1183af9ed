// The version block of this binary (see version_info.h): Chinese (PRC), Unicode code page.
// Linked into every executable and shared library of the system as an object file.

#ifndef NIVRA_VERSION
#define NIVRA_VERSION "0.0.0.0"
#endif
// Further string entries of one binary ("StringFileInfo\\080404B0\\Name=text\n" each).
#ifndef NIVRA_VERSION_EXTRA
#define NIVRA_VERSION_EXTRA ""
#endif

extern "C" __attribute__((used, visibility("hidden"))) const char nivra_version_block[] =
    "\x01NIVRA_VERSIONINFO\x02"
    "VarFileInfo\\Translation=0804 04B0\n"
    "StringFileInfo\\080404B0\\FileVersion=" NIVRA_VERSION "\n"
    "StringFileInfo\\080404B0\\ProductName=Nivra\n" NIVRA_VERSION_EXTRA
    "\x03";
