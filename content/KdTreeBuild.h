#pragma once
#include "content/KdSplit.h"

#include <functional>

namespace Orvanta {

using KdSplitChooser = std::function<KdSplitChoice(
    const KdNodeBox& box, const std::vector<uint32_t>& list, const std::vector<RtTriangle>& triangles)>;

// The recursive build with an exchangeable split choice; buildKdTree uses chooseKdSplit. Node
// layout, partition and leaves do not depend on the chooser.
void buildKdTreeWith(KdTree& tree, const KdSplitChooser& chooser);

}  // namespace Orvanta
