#include "app/DemoOptions.h"
#include "app/DemoRun.h"

#include <cstdio>

int main(int argc, char** argv)
{
    Orvanta::DemoOptions options;
    std::string error;
    if (!Orvanta::parseDemoOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "orvanta: %s (orvanta --help lists the options)\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::printf("%s", Orvanta::demoUsage());
        return 0;
    }
    return Orvanta::runDemo(options);
}
