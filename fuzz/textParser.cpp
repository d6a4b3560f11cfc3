// The structured text parser on arbitrary text: it must end, never read past its tokens, keep the
// nesting bound, and return a root only for text that starts with a name and "{".
#include "gpu/TextParser.h"
#include "support/FuzzSupport.h"

namespace {

// Levels of blocks (a value inside the deepest block adds none).
size_t depthOf(const Orvanta::TextNode& node)
{
    if (node.kind != Orvanta::TextNode::Block)
        return 0;
    size_t deepest = 0;
    for (const Orvanta::TextNode& child : node.children)
        deepest = std::max(deepest, depthOf(child));
    return deepest + 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string problem;
    std::unique_ptr<Orvanta::TextNode> root = Orvanta::parseText(OrvantaFuzz::textOf(data, size), problem);
    if (root && (root->kind != Orvanta::TextNode::Block || depthOf(*root) > Orvanta::kMaxTextNesting))
        __builtin_trap();
    if (!root && problem.empty())
        __builtin_trap();  // a text without a tree always says why
    return 0;
}
