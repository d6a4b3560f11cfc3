#include "renderer/FoliageCrowns.h"

#include "content/Object.h"
#include "content/ObjectInstance.h"
#include "gpu/Material.h"
#include "gpu/SubmeshMaterial.h"

#include <gtest/gtest.h>

using namespace Orvanta;

// A tree of three submeshes, trunk, leaves and one flat leaf card, placed twice: the leaves alone
// make a crown, their box carried through each placement's scale, turn and position.
TEST(FoliageCrowns, LeafSubmeshesBecomeTheEllipsoidsInTheirPlacedBoxes)
{
    Material bark;
    Material leaves;
    leaves.isAlphaTested = true;
    SubmeshMaterial trunkMaterial;
    trunkMaterial.material = &bark;
    SubmeshMaterial leafMaterial;
    leafMaterial.material = &leaves;
    Object tree;
    tree.minCorner = {-3, 0, -1};
    tree.maxCorner = {3, 8, 1};
    Submesh trunk;
    trunk.material = &trunkMaterial;
    trunk.minCorner = {-0.5f, 0, -0.5f};
    trunk.maxCorner = {0.5f, 5, 0.5f};
    Submesh crown;
    crown.material = &leafMaterial;
    crown.minCorner = {-3, 4, -1};
    crown.maxCorner = {3, 8, 1};
    // One flat card, as a fence panel would be: no volume of leaves.
    Submesh card;
    card.material = &leafMaterial;
    card.minCorner = {-1, 0, 0};
    card.maxCorner = {1, 2, 0};
    tree.submeshes = {trunk, crown, card};

    ObjectInstance upright(&tree, {10, 0, 5}, {1, 1, 1}, {});
    // A quarter turn about y swaps the box's x and z extents; the scale doubles them.
    ObjectInstance turned(&tree, {-4, 1, 0}, {2, 2, 2}, fromAxisAngle({0, 1, 0}, 1.5707963f));
    const std::vector<FoliageCrown> crowns = foliageCrowns({&upright, nullptr, &turned});
    ASSERT_EQ(crowns.size(), 2u);
    const Float3 expected[2][2] = {{{10, 6, 5}, {3, 2, 1}}, {{-4, 13, 0}, {2, 4, 6}}};
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(crowns[i].centre.x, expected[i][0].x, 1e-4f) << i;
        EXPECT_NEAR(crowns[i].centre.y, expected[i][0].y, 1e-4f) << i;
        EXPECT_NEAR(crowns[i].centre.z, expected[i][0].z, 1e-4f) << i;
        EXPECT_NEAR(crowns[i].radii.x, expected[i][1].x, 1e-4f) << i;
        EXPECT_NEAR(crowns[i].radii.y, expected[i][1].y, 1e-4f) << i;
        EXPECT_NEAR(crowns[i].radii.z, expected[i][1].z, 1e-4f) << i;
    }
}
