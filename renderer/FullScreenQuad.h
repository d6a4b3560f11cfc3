#pragma once
#include "renderer/FrustumVectors.h"

namespace Orvanta {

struct ShaderProgram;
class TextureUnitTable;
class UniformValueSource;

// One quad over the whole target, corners (0,0), (1,0), (1,1), (0,1), drawn with whatever
// projection the caller set (the passes use an orthographic 0..1 one). Unit 0 carries the
// corner's own coordinates; when given, unit 1 the view ray of each corner at unit depth and
// unit 2 noise coordinates from (0, 0) to (noiseWidth, noiseHeight).
struct FullScreenQuad {
    const FrustumVectors* rays = nullptr;
    float noiseWidth = 0.0f;
    float noiseHeight = 0.0f;
    bool withNoise = false;
};

void drawFullScreenQuad(const FullScreenQuad& quad);

// Sets up the full-screen pass state around a draw: pushes both matrices, loads an orthographic
// (0, 1, 0, 1, 0, 1) projection and an identity modelview, and switches the depth test off; the
// end restores the matrices and switches the depth test on again.
void beginFullScreenPass();
void endFullScreenPass();

// One engine program over the whole target bound now, inside a full-screen pass, its uniforms fed
// from the source (the units it binds recorded in the table); leaves no program current and every
// texture unit empty.
void drawFullScreenProgram(const ShaderProgram& program, UniformValueSource* uniforms, TextureUnitTable& units);

}  // namespace Orvanta
