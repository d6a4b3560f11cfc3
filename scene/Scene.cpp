#include "scene/Scene.h"

namespace Orvanta {

Scene& scene()
{
    static Scene instance;
    return instance;
}

}  // namespace Orvanta
