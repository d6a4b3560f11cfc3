#pragma once
#include <string>
#include <vector>

namespace OrvantaTest {

// Output of a tool run: exit status and everything it printed (standard output and error).
struct ToolRun {
    int exitCode = -1;
    std::string output;
};

// Runs a shell command line with its error output joined to its standard output.
ToolRun runCommandLine(const std::string& commandLine);
// Runs a tool with each argument passed as one word.
ToolRun runTool(const std::string& tool, const std::vector<std::string>& arguments);

}  // namespace OrvantaTest
