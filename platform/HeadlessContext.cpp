#include "platform/HeadlessContext.h"

#include "platform/gl/FramebufferPixels.h"
#include "platform/gl/GlRequirements.h"
#include "platform/GlProcAddress.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

namespace Orvanta {
namespace {

void* eglProcLoader(const char* name)
{
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

// Tries the surfaceless Mesa platform first, then the first device that initialises (NVIDIA),
// then the default display.
EGLDisplay openDisplay(std::string& tried)
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLint major = 0, minor = 0;
    if (getPlatformDisplay && extensionListHas(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor))
            return d;
        tried += "surfaceless platform failed; ";
    }
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (getPlatformDisplay && queryDevices && extensionListHas(clientExtensions, "EGL_EXT_platform_device")) {
        EGLDeviceEXT devices[16];
        EGLint count = 0;
        if (queryDevices(16, devices, &count)) {
            for (EGLint i = 0; i < count; ++i) {
                EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
                if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor))
                    return d;
            }
        }
        tried += "device platform failed; ";
    }
    EGLDisplay d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (d != EGL_NO_DISPLAY && eglInitialize(d, &major, &minor))
        return d;
    tried += "default display failed";
    return EGL_NO_DISPLAY;
}

template <typename F>
F load(const char* name)
{
    return reinterpret_cast<F>(eglGetProcAddress(name));
}

}  // namespace

HeadlessContext::~HeadlessContext()
{
    if (display) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context)
            eglDestroyContext(display, context);
        eglTerminate(display);
    }
}

bool HeadlessContext::create(int width, int height, std::string& error)
{
    std::string tried;
    EGLDisplay d = openDisplay(tried);
    if (d == EGL_NO_DISPLAY) {
        error = "no EGL display could be opened (" + tried + ")";
        return false;
    }
    display = d;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL cannot bind the desktop OpenGL API";
        return false;
    }

    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       24,
                                       EGL_STENCIL_SIZE,
                                       8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(d, configAttributes, &config, 1, &configCount) || configCount == 0)
        config = nullptr;  // EGL_KHR_no_config_context: the target below carries the format.

    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                        EGL_NONE};
    EGLContext c = eglCreateContext(d, config, EGL_NO_CONTEXT, contextAttributes);
    if (c == EGL_NO_CONTEXT) {
        error = "EGL cannot create an OpenGL compatibility context (error 0x" + std::to_string(eglGetError()) + ")";
        return false;
    }
    context = c;
    if (!eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, c)) {
        error = "EGL cannot make the context current without a surface";
        return false;
    }
    setGlProcLoader(eglProcLoader);

    auto genFramebuffers = load<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
    auto bindFramebuffer = load<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
    auto genRenderbuffers = load<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
    auto bindRenderbuffer = load<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
    auto renderbufferStorage = load<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
    auto framebufferRenderbuffer = load<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
    auto checkStatus = load<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
    if (!genFramebuffers || !bindFramebuffer || !genRenderbuffers || !renderbufferStorage) {
        error = "the OpenGL context offers no framebuffer objects";
        return false;
    }

    targetWidth = width;
    targetHeight = height;
    genRenderbuffers(1, &colorBuffer);
    bindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_SRGB8_ALPHA8, width, height);
    genRenderbuffers(1, &depthStencilBuffer);
    bindRenderbuffer(GL_RENDERBUFFER, depthStencilBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    bindRenderbuffer(GL_RENDERBUFFER, 0);
    genFramebuffers(1, &targetFramebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthStencilBuffer);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencilBuffer);
    if (checkStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the offscreen window target is incomplete";
        return false;
    }
    glViewport(0, 0, width, height);
    return true;
}

void HeadlessContext::resize(int width, int height)
{
    auto bindRenderbuffer = load<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
    auto renderbufferStorage = load<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
    targetWidth = width;
    targetHeight = height;
    bindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_SRGB8_ALPHA8, width, height);
    bindRenderbuffer(GL_RENDERBUFFER, depthStencilBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    bindRenderbuffer(GL_RENDERBUFFER, 0);
}

void HeadlessContext::swapBuffers()
{
    glFlush();
}

std::vector<uint8_t> HeadlessContext::readPixels() const
{
    return readFramebufferPixels(targetFramebuffer, targetWidth, targetHeight);
}

std::string HeadlessContext::description() const
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* vendor = reinterpret_cast<const char*>(glGetString(GL_VENDOR));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "?") + " from " + (vendor ? vendor : "?") + ", OpenGL " +
           (version ? version : "?");
}

}  // namespace Orvanta
