#include "RendererTestScene.h"
#include "platform/HeadlessContext.h"
#include "support/GlTestContext.h"
#include "app/FrameTimer.h"
#include <gtest/gtest.h>
using namespace OrvantaTest;
TEST(Diagnose, WritesPng)
{
    ORVANTA_REQUIRE_GL();
    TestWorld& w = testWorld();
    ASSERT_NE(w.renderer, nullptr);
    showInstances(w.instances);
    std::vector<uint8_t> px;
    for (int i = 0; i < 6; ++i) { Orvanta::frameTimer().elapsedSeconds = 0.5f; px = renderPixels(); }
    std::string e;
    Orvanta::writePng("/tmp/diag.png", 160, 90, px, e);
    std::cout << w.logged;
}
