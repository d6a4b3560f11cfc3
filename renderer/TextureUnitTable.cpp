#include "renderer/TextureUnitTable.h"

#include "gpu/Texture.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"

namespace Orvanta {

void TextureUnitTable::initialise()
{
    GLint imageUnits = 0;
    GLint fixedUnits = 0;
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &imageUnits);
    glGetIntegerv(GL_MAX_TEXTURE_UNITS, &fixedUnits);
    initialise(imageUnits, fixedUnits);
}

void TextureUnitTable::initialise(int imageUnits, int fixedUnits)
{
    entries.assign(imageUnits > 0 ? static_cast<size_t>(imageUnits) : 0, nullptr);
    fixedFunctionUnits = fixedUnits;
}

bool TextureUnitTable::bind(int unit, Texture* texture)
{
    if (unit < 0 || unit >= size() || !texture) {
        if (glDebugEnabled() && texture)
            logError("texture unit " + std::to_string(unit) + " does not exist (the driver offers " +
                     std::to_string(size()) + "); the texture is not bound");
        return false;
    }
    entries[static_cast<size_t>(unit)] = texture;
    glActiveTextureARB(GL_TEXTURE0 + static_cast<GLenum>(unit));
    // Texture targets can only be enabled on the fixed-function units; shaders need no enable,
    // so the units beyond them just get the binding.
    if (unit < fixedFunctionUnits) {
        glDisable(GL_TEXTURE_3D);
        glEnable(texture->target());
    }
    glBindTexture(texture->target(), texture->name);
    return true;
}

void TextureUnitTable::unbindAll()
{
    for (int unit = 0; unit < size(); ++unit) {
        Texture*& recorded = entries[static_cast<size_t>(unit)];
        if (unit < fixedFunctionUnits) {
            glActiveTextureARB(GL_TEXTURE0 + static_cast<GLenum>(unit));
            glDisable(GL_TEXTURE_3D);
            glDisable(GL_TEXTURE_2D);
            if (recorded)
                glDisable(recorded->target());
        }
        recorded = nullptr;
    }
    glActiveTextureARB(GL_TEXTURE0);
}

Texture* TextureUnitTable::entry(int unit) const
{
    return unit >= 0 && unit < size() ? entries[static_cast<size_t>(unit)] : nullptr;
}

}  // namespace Orvanta
