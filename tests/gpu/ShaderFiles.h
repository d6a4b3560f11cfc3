#pragma once
#include "GpuTestSupport.h"

#include <string>
#include <utility>
#include <vector>

namespace OrvantaTest {

// Writes a shader file: optional includes, then the code, then the semantics pairs.
inline std::string writeShader(const std::string& dir, const std::string& name, const std::string& code,
                               const std::vector<std::pair<std::string, std::string>>& pairs = {},
                               const std::vector<std::string>& includes = {})
{
    std::string text = "shader {\n";
    if (!includes.empty()) {
        text += " includes {\n";
        for (const std::string& include : includes)
            text += "  file = \"" + include + "\"\n";
        text += " }\n";
    }
    text += " code = \"" + code + "\"\n";
    if (!pairs.empty()) {
        text += " semantics {\n";
        for (const auto& pair : pairs)
            text += "  " + pair.first + " = " + pair.second + "\n";
        text += " }\n";
    }
    text += "}\n";
    return writeTextFile(dir, name, text);
}

inline const char* passThroughVertex()
{
    return "#version 120\nvoid main() { gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex; }\n";
}

}  // namespace OrvantaTest
