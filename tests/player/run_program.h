#pragma once
// Runs a program to its end with an argument vector (no shell) and collects what it printed.

#include <string>
#include <vector>

namespace nivra::test {

struct ProgramResult {
  int exitCode = -1;  // -1 when the program could not start or did not exit normally
  std::string out;
  std::string err;
};

// `input` is written to the program's standard input (through a file, so no pipe can block).
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {});

}  // namespace nivra::test
