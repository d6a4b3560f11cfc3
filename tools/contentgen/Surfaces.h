#pragma once
#include "MeshBuilder.h"

namespace Orvanta {

// The surfaces the kindergarten's objects are made of: material file stem, texture set and
// specular power. Material files live in resources/materials/, textures are generated.
namespace Surfaces {
inline const Surface Bricks{"bricks", "kindergarten/bricks", 12.0f};
inline const Surface Plaster{"plaster", "kindergarten/plaster", 8.0f};
inline const Surface RoofTiles{"roofTiles", "kindergarten/roofTiles", 24.0f};
inline const Surface Wood{"wood", "kindergarten/wood", 16.0f};
inline const Surface Grass{"grass", "kindergarten/grass", 4.0f};
inline const Surface Sand{"sand", "kindergarten/sand", 4.0f};
inline const Surface Paving{"paving", "kindergarten/paving", 12.0f};
inline const Surface PaintedMetal{"paintedMetal", "kindergarten/paintedMetal", 48.0f};
inline const Surface SlideSteel{"slideSteel", "kindergarten/steel", 96.0f};
inline const Surface Rubber{"rubber", "kindergarten/rubber", 8.0f};
inline const Surface Bark{"bark", "kindergarten/bark", 4.0f};
inline const Surface Leaves{"leaves", "kindergarten/leaves", 16.0f};
inline const Surface WindowFrame{"windowFrame", "kindergarten/windowFrame", 32.0f};
inline const Surface WindowGlass{"windowGlass", "kindergarten/glass", 128.0f};
inline const Surface Puddle{"puddle", "kindergarten/water", 128.0f};
inline const Surface Canopy{"canopy", "kindergarten/canopy", 64.0f};
inline const Surface Sky{"sky", "", 1.0f};
}  // namespace Surfaces

}  // namespace Orvanta
