#pragma once
#include <vector>

namespace Orvanta {

class Texture;

// Which texture each texture image unit holds, one entry per unit the driver offers
// (GL_MAX_TEXTURE_IMAGE_UNITS). Units at or beyond that count do not exist: binding one is
// refused, never recorded past the table.
class TextureUnitTable {
public:
    // Sizes the table from the driver and empties it. Also reads how many units the
    // fixed-function pipeline has: only those accept glEnable of a texture target.
    void initialise();
    // For tests: a table of an explicit size.
    void initialise(int imageUnits, int fixedFunctionUnits);

    // Records the texture in entry `unit`, makes the unit active and binds the texture to its
    // target (enabling that target, and disabling 3D texturing, on fixed-function units). Returns
    // false, changing nothing, for a unit outside the table or a null texture.
    bool bind(int unit, Texture* texture);
    // Visits every unit: disables 2D and 3D texturing (fixed-function units) and clears the
    // recorded entries. Unit 0 is active afterwards.
    void unbindAll();

    int size() const { return static_cast<int>(entries.size()); }
    Texture* entry(int unit) const;

private:
    std::vector<Texture*> entries;
    int fixedFunctionUnits = 0;
};

}  // namespace Orvanta
