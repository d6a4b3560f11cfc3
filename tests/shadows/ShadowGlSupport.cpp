#include "ShadowGlSupport.h"

#include "gpu/Texture.h"

#include <cmath>
#include <fstream>

namespace ShadowTest {

std::string writeShaderFile(const std::string& directory, const std::string& name,
                            const std::vector<std::string>& includes, const std::string& code)
{
    std::string path = directory + "/" + name;
    std::ofstream out(path);
    out << "shader {\n";
    if (!includes.empty()) {
        out << "includes {\n";
        for (const std::string& file : includes)
            out << "file = " << file << "\n";
        out << "}\n";
    }
    out << "code = \"" << code << "\"\n}\n";
    return path;
}

bool programLinked(const Orvanta::ShaderProgram* program, std::string& log)
{
    if (!program || !program->program) {
        log = "no program";
        return false;
    }
    GLint linked = 0;
    Orvanta::glGetObjectParameterivARB(program->program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    char text[4096] = {};
    Orvanta::glGetInfoLogARB(program->program, sizeof text, nullptr, text);
    log = text;
    return linked != 0;
}

std::vector<float> readShadowMap(const Orvanta::FrameBuffer& frameBuffer)
{
    std::vector<float> texels(static_cast<size_t>(frameBuffer.width) * frameBuffer.height);
    glBindTexture(GL_TEXTURE_2D, frameBuffer.colorTexture(0)->name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_FLOAT, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texels;
}

float decodeStoredDepth(float stored)
{
    return -std::log(std::fmax(stored, 1e-30f)) / 0.03f;
}

}  // namespace ShadowTest
