#pragma once
#include <string>
#include <utility>
#include <vector>

namespace Orvanta {

class Texture2D;
struct RtImage;
struct Object;
struct Material;
struct ShaderProgram;

// One keyed list of loaded resources, in insertion order. Lookup is a linear scan comparing whole
// keys (same length, same bytes); nothing is ever evicted. The list does not own its values: loaded
// resources live until the process exits.
template <typename T>
class KeyedList {
public:
    T* find(const std::string& key) const
    {
        for (const auto& entry : items)
            if (entry.first == key)
                return entry.second;
        return nullptr;
    }
    void append(const std::string& key, T* value) { items.emplace_back(key, value); }
    const std::vector<std::pair<std::string, T*>>& entries() const { return items; }
    size_t size() const { return items.size(); }

private:
    std::vector<std::pair<std::string, T*>> items;
};

// The process-wide cache of everything loaded from files, one list per kind. The loaders that fill
// each list live with their kind: getTexture (gpu/Texture.h), getMaterial (gpu/Material.h), the
// program getters (gpu/ShaderProgram.h), findOrLoadObject (content/Object.h) and findOrLoadImage
// (content/RtImage.h).
struct ResourceCache {
    KeyedList<Texture2D> textures;
    KeyedList<RtImage> images;
    KeyedList<Object> objects;
    KeyedList<Material> materials;
    KeyedList<ShaderProgram> programs;
};

ResourceCache& resourceCache();

}  // namespace Orvanta
