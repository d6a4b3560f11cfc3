#pragma once
#include <string>

namespace Orvanta {
class HeadlessContext;
}

namespace OrvantaTest {

// One headless OpenGL context per test process, created on first use and kept current. GL checks
// (setGlDebug) are switched on. A test that needs GL starts with ORVANTA_REQUIRE_GL(): when no
// context can be made the test fails with the reason; it is never skipped silently.
Orvanta::HeadlessContext* glContext();
std::string glContextError();

// Source tree root (tests run from it; resources/ paths resolve against it).
std::string sourceDir();
// A fresh, empty directory under the system temporary directory.
std::string makeTempDir(const std::string& stem);

}  // namespace OrvantaTest

#define ORVANTA_REQUIRE_GL()                                                                                           \
    do {                                                                                                               \
        if (!::OrvantaTest::glContext())                                                                               \
            FAIL() << "no headless OpenGL context: " << ::OrvantaTest::glContextError();                               \
    } while (0)
