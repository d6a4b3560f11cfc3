#include "support/ToolRun.h"

#include <cstdio>
#include <sys/wait.h>

namespace OrvantaTest {

namespace {

std::string quoted(const std::string& s)
{
    return "'" + s + "'";
}

}  // namespace

ToolRun runCommandLine(const std::string& commandLine)
{
    ToolRun run;
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ToolRun runTool(const std::string& tool, const std::vector<std::string>& arguments)
{
    std::string command = quoted(tool);
    for (const std::string& a : arguments)
        command += " " + quoted(a);
    return runCommandLine(command);
}

}  // namespace OrvantaTest
