#include "SceneTestSupport.h"

#include "scene/MovableEntity.h"

#include <cmath>
#include <string>
#include <vector>

using namespace Orvanta;
using OrvantaTest::expectNear;

namespace {

const float halfPi = 1.5707963f;

// World members must agree with the parent and worldMatrix with the world members.
void expectConsistent(const MovableEntity& e)
{
    const MovableEntity* p = e.parent;
    if (p) {
        expectNear(e.position, p->position + rotate(p->orientation, e.localPosition), 1e-4f);
        expectNear(e.scale, multiplyComponents(e.localScale, p->scale));
        expectNear(rotate(e.orientation, {1, 2, 3}), rotate(p->orientation * e.localOrientation, {1, 2, 3}), 1e-4f);
    }
    Matrix4 expected = composeTransform(e.position, e.orientation, e.scale);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(e.worldMatrix[i], expected[i], 1e-4f) << "element " << i;
}

struct RecordingEntity : MovableEntity {
    RecordingEntity(std::string entityName, std::vector<std::string>* entityLog)
        : name(std::move(entityName)), log(entityLog)
    {
    }
    void transformChanged() override
    {
        if (log)
            log->push_back(name);
    }
    std::string name;
    std::vector<std::string>* log;
};

}  // namespace

TEST(MovableEntity, WithoutParentLocalEqualsWorld)
{
    MovableEntity e({1, 2, 3}, {2, 2, 2}, fromAxisAngle({0, 1, 0}, 0.5f));
    expectNear(e.localPosition, {1, 2, 3});
    e.setPosition({4, 5, 6});
    e.updateTransform();
    expectNear(e.localPosition, {4, 5, 6});
    expectNear(e.localScale, {2, 2, 2});
    expectConsistent(e);
}

TEST(MovableEntity, AddChildKeepsConstructedValuesAsOffsets)
{
    MovableEntity parent({10, 0, 0}, {2, 2, 2}, fromAxisAngle({0, 1, 0}, halfPi));
    MovableEntity child({1, 0, 0}, {1, 1, 1}, {});
    parent.addChild(&child);
    expectNear(child.localPosition, {1, 0, 0});
    expectNear(child.position, {10, 0, -1});
    expectNear(child.scale, {2, 2, 2});
    ASSERT_EQ(parent.children.size(), 1u);
    EXPECT_EQ(child.parent, &parent);
    expectConsistent(child);
}

TEST(MovableEntity, ChildFollowsEverySetterOfItsParent)
{
    MovableEntity parent({0, 1, 0}, {1, 1, 1}, {});
    MovableEntity child({0, 0, 2}, {1, 1, 1}, {});
    MovableEntity grandchild({1, 0, 0}, {1, 1, 1}, {});
    parent.addChild(&child);
    child.addChild(&grandchild);

    parent.setPosition({5, 0, 0});
    parent.updateTransform();
    expectNear(child.position, {5, 0, 2});
    expectConsistent(child);
    expectConsistent(grandchild);

    parent.setOrientation(fromAxisAngle({0, 1, 0}, halfPi));
    expectNear(child.position, {7, 0, 0});
    expectConsistent(grandchild);

    parent.rotate(fromAxisAngle({0, 0, 1}, 0.3f));
    expectConsistent(child);
    expectConsistent(grandchild);
}

TEST(MovableEntity, ChildWorldSettersDeriveLocalMembers)
{
    MovableEntity parent({3, 0, 0}, {1, 1, 1}, fromAxisAngle({0, 1, 0}, halfPi));
    MovableEntity child;
    parent.addChild(&child);

    child.setPosition({3, 4, 0});
    child.updateTransform();
    expectNear(child.position, {3, 4, 0});
    expectConsistent(child);

    Quaternion wanted = fromAxisAngle({1, 0, 0}, 0.7f);
    child.setOrientation(wanted);
    expectNear(rotate(child.orientation, {0, 0, 1}), rotate(wanted, {0, 0, 1}));
    expectConsistent(child);
}

TEST(MovableEntity, TransformChangedRunsOncePerUpdateBeforeChildren)
{
    std::vector<std::string> log;
    RecordingEntity parent("parent", &log);
    RecordingEntity first("first", &log);
    RecordingEntity second("second", &log);
    parent.addChild(&first);
    parent.addChild(&second);
    log.clear();
    parent.updateTransform();
    EXPECT_EQ(log, (std::vector<std::string>{"parent", "first", "second"}));
}

TEST(MovableEntity, WorldSpaceYawKeepsAPitchedViewLevel)
{
    MovableEntity e;
    e.setOrientation(fromAxisAngle({1, 0, 0}, 0.6f));
    e.rotate(fromAxisAngle({0, 1, 0}, 1.1f));
    EXPECT_NEAR(rotate(e.orientation, {1, 0, 0}).y, 0.0f, 1e-6f);
    EXPECT_NEAR(rotate(e.orientation, {0, 0, 1}).y, -std::sin(0.6f), 1e-5f);
}
