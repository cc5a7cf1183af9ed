#pragma once
// The program body: loads the settings, chooses the mode from the first argument, does the
// mode's job (or runs the main window) and writes the settings back at the end.

namespace nivra::app {

int RunProgram(int argc, char** argv);

}  // namespace nivra::app
