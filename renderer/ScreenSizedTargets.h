#pragma once

namespace Orvanta {

// A pass set that owns targets at the window's client size. The renderer rebuilds every such set
// it holds, in one loop, when the surface's size changes; a new screen-sized pass implements this
// and joins the renderer's list (Renderer::screenSizedSets) instead of adding a line of its own to
// the resize.
class ScreenSizedTargets {
public:
    virtual ~ScreenSizedTargets() = default;
    // (Re)builds the client-sized targets alone at a new size (programs and anything that does not
    // depend on the size stay). May leave one of them bound: the renderer binds its own afterwards.
    virtual void resizeTargets(int width, int height) = 0;
};

}  // namespace Orvanta
