#include "platform/gl/GlRequirements.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

std::string allRequired()
{
    std::string list = "GL_ARB_texture_float";
    for (const std::string& name : requiredGlExtensions())
        list += " " + name;
    return list;
}

TEST(GlRequirements, NamesTheVersionAndEachMissingExtension)
{
    EXPECT_EQ(missingGlRequirements("4.5 (Compatibility Profile) Mesa 22.3.6", allRequired().c_str()), "");
    EXPECT_EQ(missingGlRequirements("3.0 Mesa", allRequired().c_str()), "");
    EXPECT_EQ(missingGlRequirements("2.1 Mesa 22.3.6", allRequired().c_str()), "OpenGL 3.0 (this context is 2.1)");
    EXPECT_EQ(missingGlRequirements(nullptr, allRequired().c_str()),
              "OpenGL 3.0 (this context is of an unknown version)");
    // A longer name that starts with a required one does not stand for it.
    std::string list = allRequired();
    list.replace(list.find("GL_EXT_texture3D"), 16, "GL_EXT_texture3DX");
    EXPECT_EQ(missingGlRequirements("4.6.0 NVIDIA 535.54", list.c_str()), "GL_EXT_texture3D");
    EXPECT_EQ(missingGlRequirements("1.4", ""),
              "OpenGL 3.0 (this context is 1.4), GL_ARB_multitexture, GL_EXT_texture3D, GL_ARB_vertex_buffer_object, "
              "GL_ARB_shader_objects, GL_ARB_vertex_shader, GL_ARB_fragment_shader, GL_ARB_draw_buffers");
}

}  // namespace
