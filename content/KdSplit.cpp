#include "content/KdSplit.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

std::vector<float> splitCandidates(float boxMin, float boxMax)
{
    std::vector<float> candidates;
    for (float c = boxMin; boxMax > c;) {
        candidates.push_back(c);
        const float next = c + 0.1f;
        if (!(next > c))
            break;
        c = next;
    }
    return candidates;
}

float splitCost(const KdNodeBox& box, uint32_t axis, float c, uint32_t nLeft, uint32_t nRight)
{
    Float3 leftMax = box.boxMax, rightMin = box.boxMin;
    axisOf(leftMax, axis) = c;
    axisOf(rightMin, axis) = c;
    const float total = surfaceArea(box.boxMin, box.boxMax);
    const float left = surfaceArea(box.boxMin, leftMax);
    const float right = surfaceArea(rightMin, box.boxMax);
    return 1.0f + 10.0f * (left / total * static_cast<float>(nLeft) +
                           right / total * static_cast<float>(nRight));
}

namespace {

// Bound on the rounding error of intervalsOverlap's float evaluation relative to the exact gap
// between the intervals. Away from that band the float test agrees with exact arithmetic, which is
// monotonic in the candidate position; inside it the test itself is evaluated.
double overlapErrorBound(float boxMin, float boxMax, float triMin, float triMax)
{
    const double s = 2.0 * std::max(std::fabs(double(boxMin)), std::fabs(double(boxMax))) +
                     std::fabs(double(triMin)) + std::fabs(double(triMax));
    return s * std::ldexp(1.0, -19) + 1e-30;
}

// Candidates sit about 0.1 apart from c[0], so the position of a value is guessed from its
// distance to c[0] and then corrected by stepping; the accumulated rounding of the additions moves
// the guess by far less than one step, so the walk is short. The result is the one a binary search
// over the sorted candidates gives.
size_t guessIndex(const std::vector<float>& c, double value)
{
    const double guess = std::ceil((value - double(c[0])) * 10.0);
    if (!(guess > 0.0))
        return 0;  // also NaN
    return guess >= double(c.size()) ? c.size() : size_t(guess);
}

size_t firstAtLeast(const std::vector<float>& c, double value)
{
    size_t i = guessIndex(c, value);
    while (i > 0 && double(c[i - 1]) >= value)
        --i;
    while (i < c.size() && double(c[i]) < value)
        ++i;
    return i;
}

size_t firstAbove(const std::vector<float>& c, double value)
{
    size_t i = guessIndex(c, value);
    while (i > 0 && double(c[i - 1]) > value)
        --i;
    while (i < c.size() && double(c[i]) <= value)
        ++i;
    return i;
}

// Adds to counts[i] (as differences: +1 at i, -1 at i + 1) the candidates where the left and right
// candidate boxes overlap one triangle along the split axis.
void countTriangle(const std::vector<float>& c, float m, float big, float tMin, float tMax,
                   std::vector<int64_t>& left, std::vector<int64_t>& right)
{
    const size_t n = c.size();
    const double err = overlapErrorBound(m, big, tMin, tMax);
    auto evaluate = [&](size_t from, size_t to, bool isLeft) {
        for (size_t i = from; i < to; ++i) {
            const bool hit = isLeft ? intervalsOverlap(m, c[i], tMin, tMax)
                                    : intervalsOverlap(c[i], big, tMin, tMax);
            if (hit) {
                std::vector<int64_t>& d = isLeft ? left : right;
                d[i] += 1;
                d[i + 1] -= 1;
            }
        }
    };

    // Left boxes [m, c]: exact gap max(m - tMax, tMin - c).
    const double leftFixed = double(m) - double(tMax);
    if (leftFixed >= -err && leftFixed <= err) {
        evaluate(0, n, true);
    } else if (leftFixed < -err) {
        const size_t lo = firstAtLeast(c, double(tMin) - err);
        const size_t hi = firstAbove(c, double(tMin) + err);
        evaluate(lo, hi, true);
        left[hi] += 1;
        left[n] -= 1;
    }

    // Right boxes [c, big]: exact gap max(c - tMax, tMin - big).
    const double rightFixed = double(tMin) - double(big);
    if (rightFixed >= -err && rightFixed <= err) {
        evaluate(0, n, false);
    } else if (rightFixed < -err) {
        const size_t lo = firstAtLeast(c, double(tMax) - err);
        const size_t hi = firstAbove(c, double(tMax) + err);
        right[0] += 1;
        right[lo] -= 1;
        evaluate(lo, hi, false);
    }
}

}  // namespace

KdSplitChoice chooseKdSplit(const KdNodeBox& box, const std::vector<uint32_t>& list,
                            const std::vector<RtTriangle>& triangles)
{
    KdSplitChoice best;
    float bestCost = 0.0f;
    std::vector<int64_t> left, right;
    for (uint32_t axis = 0; axis < 3; ++axis) {
        const float m = axisOf(box.boxMin, axis), big = axisOf(box.boxMax, axis);
        const std::vector<float> c = splitCandidates(m, big);
        if (c.empty())
            continue;
        const size_t n = c.size();
        left.assign(n + 1, 0);
        right.assign(n + 1, 0);
        const uint32_t o1 = (axis + 1) % 3, o2 = (axis + 2) % 3;
        for (uint32_t index : list) {
            const RtTriangle& t = triangles[index];
            // The candidate boxes equal the node box on the other two axes.
            if (!intervalsOverlap(axisOf(box.boxMin, o1), axisOf(box.boxMax, o1),
                                  axisOf(t.boxMin, o1), axisOf(t.boxMax, o1)) ||
                !intervalsOverlap(axisOf(box.boxMin, o2), axisOf(box.boxMax, o2),
                                  axisOf(t.boxMin, o2), axisOf(t.boxMax, o2)))
                continue;
            countTriangle(c, m, big, axisOf(t.boxMin, axis), axisOf(t.boxMax, axis), left, right);
        }
        int64_t nLeft = 0, nRight = 0;
        for (size_t i = 0; i < n; ++i) {
            nLeft += left[i];
            nRight += right[i];
            const float cost = splitCost(box, axis, c[i], uint32_t(nLeft), uint32_t(nRight));
            if (!best.found || cost < bestCost) {
                best = {true, axis, c[i]};
                bestCost = cost;
            }
        }
    }
    return best;
}

}  // namespace Orvanta
