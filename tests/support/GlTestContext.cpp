#include "support/GlTestContext.h"

#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HeadlessContext.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

namespace OrvantaTest {
namespace {
std::string error;
}

Orvanta::HeadlessContext* glContext()
{
    static std::unique_ptr<Orvanta::HeadlessContext> context;
    static bool tried = false;
    if (!tried) {
        tried = true;
        auto c = std::make_unique<Orvanta::HeadlessContext>();
        if (c->create(256, 256, error)) {
            Orvanta::loadExtensions();
            Orvanta::setGlDebug(true);
            context = std::move(c);
        }
    }
    return context.get();
}

std::string glContextError()
{
    return error;
}

std::string sourceDir()
{
    const char* dir = std::getenv("ORVANTA_SOURCE_DIR");
    return dir ? dir : std::filesystem::current_path().string();
}

std::string makeTempDir(const std::string& stem)
{
    std::random_device device;
    std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
        std::filesystem::path candidate = base / (stem + "-" + std::to_string(device()));
        if (std::filesystem::create_directory(candidate))
            return candidate.string();
    }
}

}  // namespace OrvantaTest
