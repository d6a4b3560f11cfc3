#include "platform/gl/GlExtensions.h"
#include "platform/HeadlessContext.h"
#include "platform/SdlWindow.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace Orvanta;

TEST(Extensions, EveryGlEntryPointResolvesAndASecondLoadGivesTheSamePointers)
{
    ORVANTA_REQUIRE_GL();
    EXPECT_EQ(entryPointCount(), 160);
    EXPECT_EQ(windowsOnlyEntryPoints().size(), 4u);
    std::vector<std::string> missing = unresolvedEntryPoints();
    EXPECT_TRUE(missing.empty()) << "first unresolved: " << (missing.empty() ? "" : missing[0]);

    void* bind = entryPointValue("glBindFramebuffer");
    void* link = entryPointValue("glLinkProgramARB");
    ASSERT_NE(bind, nullptr);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(glBindFramebuffer), bind);
    loadExtensions();
    EXPECT_EQ(entryPointValue("glBindFramebuffer"), bind);
    EXPECT_EQ(entryPointValue("glLinkProgramARB"), link);
}

TEST(HeadlessContext, OffersTheCapabilitiesTheEngineNeeds)
{
    ORVANTA_REQUIRE_GL();
    HeadlessContext* context = OrvantaTest::glContext();
    EXPECT_EQ(context->width(), 256);
    EXPECT_NE(context->framebuffer(), 0u);

    GLint depthBits = 0, stencilBits = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, context->framebuffer());
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE,
                                          &depthBits);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE,
                                          &stencilBits);
    EXPECT_EQ(depthBits, 24);
    EXPECT_EQ(stencilBits, 8);

    // What is cleared into the window target is what a read-back shows, top row first.
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    std::vector<uint8_t> pixels = context->readPixels();
    ASSERT_EQ(pixels.size(), 256u * 256u * 4u);
    EXPECT_EQ(pixels[0], 255);
    EXPECT_EQ(pixels[1], 0);
    EXPECT_EQ(pixels[3], 255);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(Window, WindowedContextCoversThePrimaryDisplay)
{
    std::string reason;
    if (!std::getenv("DISPLAY") || !SdlWindow::displayAvailable(&reason))
        GTEST_SKIP() << "no display to open a window on (run under xvfb-run for this test): " << reason;
    int w = 0, h = 0;
    ASSERT_TRUE(SdlWindow::primaryDisplaySize(w, h));
    SdlWindow window;
    std::string error;
    ASSERT_TRUE(window.create("Orvanta Engine", w, h, false, error)) << error;
    EXPECT_EQ(window.width(), w);
    EXPECT_EQ(window.height(), h);
}
