#include "platform/gl/GlRequirements.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace Orvanta {

const std::vector<std::string>& requiredGlExtensions()
{
    static const std::vector<std::string> names = {
        "GL_ARB_multitexture",          // glActiveTextureARB, glClientActiveTextureARB
        "GL_EXT_texture3D",             // glTexImage3DEXT
        "GL_ARB_vertex_buffer_object",  // glBindBufferARB, glMapBufferARB
        "GL_ARB_shader_objects",        // glCreateShaderObjectARB, glUniform*ARB
        "GL_ARB_vertex_shader",         // glVertexAttribPointerARB, glGetAttribLocationARB
        "GL_ARB_fragment_shader",       // GL_FRAGMENT_SHADER_ARB
        "GL_ARB_draw_buffers",          // glDrawBuffersARB: the G-buffer's targets
    };
    // Not required: GL_ARB_timer_query (without it the pass timer times on the CPU clock) and
    // GL_EXT_texture_filter_anisotropic (textures are then filtered without it).
    return names;
}

bool extensionListHas(const char* list, const char* name)
{
    if (!list || !name || !*name)
        return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

bool hasGlExtension(const char* name)
{
    return extensionListHas(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

std::string missingGlRequirements(const char* version, const char* extensions)
{
    std::string missing;
    int major = 0, minor = 0;
    // GL_VERSION starts "<major>.<minor>", then vendor text ("4.5 (Compatibility Profile) Mesa").
    const bool parsed = version && std::sscanf(version, "%d.%d", &major, &minor) == 2;
    if (!parsed || major < kRequiredGlMajor || (major == kRequiredGlMajor && minor < kRequiredGlMinor)) {
        missing = "OpenGL " + std::to_string(kRequiredGlMajor) + "." + std::to_string(kRequiredGlMinor) +
                  " (this context is " +
                  (parsed ? std::to_string(major) + "." + std::to_string(minor) : "of an unknown version") + ")";
    }
    for (const std::string& name : requiredGlExtensions())
        if (!extensionListHas(extensions, name.c_str()))
            missing += (missing.empty() ? "" : ", ") + name;
    return missing;
}

std::string currentContextShortfall()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const std::string missing = missingGlRequirements(version,
                                                      reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    if (missing.empty())
        return missing;
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return "the OpenGL context (" + std::string(renderer ? renderer : "unknown renderer") + ", OpenGL " +
           (version ? version : "of an unknown version") + ") lacks what the engine needs: " + missing;
}

}  // namespace Orvanta
