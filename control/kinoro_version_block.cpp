// The version block of libkinoro.so: the common entries and "OleSelfRegister", which tells
// installers that the library registers itself.
#define NIVRA_VERSION_EXTRA "StringFileInfo\\080404B0\\OleSelfRegister=1\n"
#include "platform/version_block.cpp"
