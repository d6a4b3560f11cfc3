#include "FacadeBuilder.h"

#include "Surfaces.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

struct WallBasis {
    Float3 start, along, up, out;
    Float3 at(float x, float y, float depth) const { return start + along * x + up * y - out * depth; }
};

// One rectangle of a wall face, split at the band height into its two surfaces.
void addWallRectangle(MeshBuilder& mesh, const WallBasis& b, float x0, float x1, float y0, float y1, float depth,
                      float band, bool inner)
{
    struct Piece {
        float lo, hi;
        const Surface* surface;
    };
    Piece pieces[2] = {{y0, std::min(y1, band), inner ? &Surfaces::Plaster : &Surfaces::Bricks},
                       {std::max(y0, band), y1, &Surfaces::Plaster}};
    for (const Piece& p : pieces) {
        if (p.hi - p.lo < 1e-4f)
            continue;
        mesh.setSurface(*p.surface);
        Float3 corner = b.at(x0, p.lo, depth);
        Float3 edgeU = b.along * (x1 - x0);
        Float3 edgeV = b.up * (p.hi - p.lo);
        if (inner) {
            // Seen from the room: mirror the u axis so the face points inward.
            corner = b.at(x1, p.lo, depth);
            edgeU = b.along * (x0 - x1);
        }
        float u0 = dot(corner, normalize(edgeU));
        mesh.addQuad(corner, edgeU, edgeV, u0, p.lo, std::max(1, static_cast<int>((x1 - x0) / 1.5f)),
                     std::max(1, static_cast<int>((p.hi - p.lo) / 1.5f)));
    }
}

void addOpening(MeshBuilder& mesh, const WallBasis& b, const WallOpening& o, float thickness)
{
    // Reveals: the four sides of the hole through the wall, facing into the opening.
    mesh.setSurface(Surfaces::WindowFrame);
    float w = o.right - o.left;
    float h = o.top - o.bottom;
    mesh.addQuad(b.at(o.left, o.bottom, 0), b.up * h, b.out * -thickness, 0, 0);   // left side faces +along
    mesh.addQuad(b.at(o.right, o.bottom, 0), b.out * -thickness, b.up * h, 0, 0);  // right side faces -along
    mesh.addQuad(b.at(o.left, o.top, 0), b.out * -thickness, b.along * w, 0, 0);   // lintel faces down
    if (!o.isDoor)
        mesh.addQuad(b.at(o.left, o.bottom, 0), b.along * w, b.out * -thickness, 0, 0);  // sill faces up

    const float recess = OpeningRecess;
    const float bar = 0.06f;
    if (o.isDoor) {
        // A leaf 4 cm thick, with a face to the yard and one to the room: the frame culls back
        // faces, so a single outward face would leave the doorway open when seen from inside.
        const float leaf = 0.04f;
        mesh.setSurface(Surfaces::Wood);
        mesh.addQuad(b.at(o.left, o.bottom, recess), b.along * w, b.up * h, o.left, o.bottom);
        mesh.addQuad(b.at(o.right, o.bottom, recess + leaf), b.along * -w, b.up * h, o.left, o.bottom);
        mesh.setSurface(Surfaces::PaintedMetal);
        for (float side : {1.0f, -1.0f}) {
            const float face = side > 0.0f ? recess : recess + leaf;
            Float3 handle = b.at(o.right - 0.15f, o.bottom + 1.0f, face) + b.out * (0.04f * side);
            mesh.addCylinder(handle - b.along * 0.12f, b.along * 0.12f, 0.02f, 6, true);
        }
        return;
    }
    // Frame around the pane, with one mullion and one transom. The bars run from 4 cm in front of
    // the recess to 8 cm behind it, so the pane sits inside them: seen from the room they stand in
    // front of the glass as they do outside, rather than behind it.
    mesh.setSurface(Surfaces::WindowFrame);
    auto barBox = [&](float x0, float x1, float y0, float y1) {
        Float3 corner = b.at(x0, y0, recess);
        Float3 front = b.out * 0.04f;
        Float3 depth = b.out * -0.12f;
        Float3 across = b.along * (x1 - x0);
        Float3 high = b.up * (y1 - y0);
        mesh.addQuad(corner + front, across, high, x0, y0);
        mesh.addQuad(corner + front + depth + across, -across, high, x0, y0);
        mesh.addQuad(corner + front, high, depth, 0, 0);
        mesh.addQuad(corner + front + across, depth, high, 0, 0);
        mesh.addQuad(corner + front + high, depth, across, 0, 0);
        mesh.addQuad(corner + front, across, depth, 0, 0);
    };
    barBox(o.left, o.right, o.bottom, o.bottom + bar);
    barBox(o.left, o.right, o.top - bar, o.top);
    barBox(o.left, o.left + bar, o.bottom + bar, o.top - bar);
    barBox(o.right - bar, o.right, o.bottom + bar, o.top - bar);
    float mid = (o.left + o.right) * 0.5f;
    barBox(mid - bar * 0.5f, mid + bar * 0.5f, o.bottom + bar, o.top - bar);
    float transom = o.bottom + h * 0.7f;
    barBox(o.left + bar, o.right - bar, transom - bar * 0.5f, transom + bar * 0.5f);
    mesh.setSurface(Surfaces::WindowGlass);
    mesh.addQuad(b.at(o.left, o.bottom, recess + 0.02f), b.along * w, b.up * h, o.left, o.bottom);
}

}  // namespace

void buildWall(MeshBuilder& mesh, const WallLayout& wall)
{
    WallBasis b;
    b.start = wall.start;
    b.along = normalize(wall.direction);
    b.up = Float3{0, 1, 0};
    b.out = cross(b.along, b.up);

    std::vector<float> cuts{0.0f, wall.length};
    for (const WallOpening& o : wall.openings) {
        cuts.push_back(o.left);
        cuts.push_back(o.right);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        float x0 = cuts[i];
        float x1 = cuts[i + 1];
        std::vector<std::pair<float, float>> holes;
        for (const WallOpening& o : wall.openings)
            if (o.left <= x0 + 1e-4f && o.right >= x1 - 1e-4f)
                holes.push_back({o.bottom, o.top});
        std::sort(holes.begin(), holes.end());
        float y = 0.0f;
        for (const auto& hole : holes) {
            if (hole.first > y) {
                addWallRectangle(mesh, b, x0, x1, y, hole.first, 0.0f, wall.bandHeight, false);
                addWallRectangle(mesh, b, x0, x1, y, hole.first, wall.thickness, wall.bandHeight, true);
            }
            y = std::max(y, hole.second);
        }
        if (wall.height > y) {
            addWallRectangle(mesh, b, x0, x1, y, wall.height, 0.0f, wall.bandHeight, false);
            addWallRectangle(mesh, b, x0, x1, y, wall.height, wall.thickness, wall.bandHeight, true);
        }
    }
    for (const WallOpening& o : wall.openings)
        addOpening(mesh, b, o, wall.thickness);
}

}  // namespace Orvanta
