#pragma once
#include "scene/Math.h"

namespace Orvanta {

// Passes that draw with matrices of their own save the caller's projection and modelview on the
// fixed-function stacks and load theirs; popMatrices restores both and leaves the modelview
// matrix mode selected, as the frame expects between passes.
void pushMatrices(const Matrix4& projection, const Matrix4& modelview);
// Saves both matrices and leaves them loaded as they were (the caller changes what it needs).
void pushMatrices();
void popMatrices();

}  // namespace Orvanta
