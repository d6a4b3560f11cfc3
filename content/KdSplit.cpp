#include "content/KdSplit.h"

#include "content/KdBuildConstants.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

void fillSplitCandidates(float boxMin, float boxMax, std::vector<float>& candidates)
{
    candidates.clear();
    for (float c = boxMin; boxMax > c;) {
        candidates.push_back(c);
        const float next = c + kKdCandidateStep;
        if (!(next > c))
            break;
        c = next;
    }
}

float splitCost(const KdNodeBox& box, uint32_t axis, float c, uint32_t nLeft, uint32_t nRight)
{
    Float3 leftMax = box.boxMax, rightMin = box.boxMin;
    axisOf(leftMax, axis) = c;
    axisOf(rightMin, axis) = c;
    const float total = surfaceArea(box.boxMin, box.boxMax);
    const float left = surfaceArea(box.boxMin, leftMax);
    const float right = surfaceArea(rightMin, box.boxMax);
    return kKdTraversalCost + kKdIntersectionCost * (left / total * static_cast<float>(nLeft) +
                                                     right / total * static_cast<float>(nRight));
}

namespace {

// Bound on the rounding error of intervalsOverlap's float evaluation relative to the exact gap
// between the intervals. Away from that band the float test agrees with exact arithmetic, which is
// monotonic in the candidate position; inside it the test itself is evaluated.
inline double overlapErrorBound(float boxMin, float boxMax, float triMin, float triMax)
{
    const double s = 2.0 * std::max(std::fabs(double(boxMin)), std::fabs(double(boxMax))) +
                     std::fabs(double(triMin)) + std::fabs(double(triMax));
    return s * std::ldexp(1.0, -19) + 1e-30;
}

// Candidates sit about kKdCandidateStep apart from c[0], so the position of a value is guessed from its
// distance to c[0] and then corrected by stepping; the accumulated rounding of the additions moves
// the guess by far less than one step, so the walk is short. The result is the one a binary search
// over the sorted candidates gives.
inline size_t guessIndex(const std::vector<float>& c, double value)
{
    const double guess = (value - double(c[0])) / double(kKdCandidateStep);
    if (!(guess > 0.0))
        return 0;  // also NaN
    return guess < double(c.size()) ? size_t(guess) : c.size();
}

inline size_t firstAtLeast(const std::vector<float>& c, double value)
{
    size_t i = guessIndex(c, value);
    while (i > 0 && double(c[i - 1]) >= value)
        --i;
    while (i < c.size() && double(c[i]) < value)
        ++i;
    return i;
}

// [lo, hi): the candidates within err of value, where the float test must be evaluated.
inline void band(const std::vector<float>& c, double value, double err, size_t& lo, size_t& hi)
{
    lo = firstAtLeast(c, value - err);
    hi = lo;
    while (hi < c.size() && double(c[hi]) <= value + err)
        ++hi;
}

// A triangle interval whose overlap with every candidate box of one side has to be evaluated:
// one end of it lies (within rounding) on the fixed face of those boxes.
struct FixedInterval {
    float tMin;
    float tMax;
    bool isLeft;
    bool operator<(const FixedInterval& o) const
    {
        if (isLeft != o.isLeft)
            return isLeft < o.isLeft;
        if (tMin != o.tMin)
            return tMin < o.tMin;
        return tMax < o.tMax;
    }
    bool operator==(const FixedInterval& o) const
    {
        return isLeft == o.isLeft && tMin == o.tMin && tMax == o.tMax;
    }
};

struct AxisCounts {
    const std::vector<float>& c;
    float m, big;
    std::vector<int64_t>& left;
    std::vector<int64_t>& right;
    std::vector<FixedInterval>& fixed;

    // Adds `weight` at every candidate from..to-1 where the float test says the side's box
    // overlaps [tMin, tMax].
    void evaluate(size_t from, size_t to, bool isLeft, float tMin, float tMax, int64_t weight)
    {
        std::vector<int64_t>& d = isLeft ? left : right;
        for (size_t i = from; i < to; ++i) {
            const bool hit = isLeft ? intervalsOverlap(m, c[i], tMin, tMax) : intervalsOverlap(c[i], big, tMin, tMax);
            if (hit) {
                d[i] += weight;
                d[i + 1] -= weight;
            }
        }
    }

    // Adds to the counts (kept as differences: +1 at i, -1 at i + 1) the candidates where the
    // left and right candidate boxes overlap one triangle along the split axis.
    void count(float tMin, float tMax)
    {
        const size_t n = c.size();
        const double err = overlapErrorBound(m, big, tMin, tMax);
        size_t lo, hi;

        // Left boxes [m, c]: exact gap max(m - tMax, tMin - c).
        const double leftFixed = double(m) - double(tMax);
        if (leftFixed >= -err && leftFixed <= err) {
            fixed.push_back({tMin, tMax, true});
        } else if (leftFixed < -err) {
            band(c, double(tMin), err, lo, hi);
            evaluate(lo, hi, true, tMin, tMax, 1);
            left[hi] += 1;
            left[n] -= 1;
        }

        // Right boxes [c, big]: exact gap max(c - tMax, tMin - big).
        const double rightFixed = double(tMin) - double(big);
        if (rightFixed >= -err && rightFixed <= err) {
            fixed.push_back({tMin, tMax, false});
        } else if (rightFixed < -err) {
            band(c, double(tMax), err, lo, hi);
            right[0] += 1;
            right[lo] -= 1;
            evaluate(lo, hi, false, tMin, tMax, 1);
        }
    }

    // Triangles lying on a fixed face (flat floors on the box's bottom, walls in a parent's split
    // plane) are many and share a few intervals: each distinct interval is evaluated once, with
    // its multiplicity.
    void countFixed()
    {
        std::sort(fixed.begin(), fixed.end());
        for (size_t i = 0; i < fixed.size();) {
            size_t j = i + 1;
            while (j < fixed.size() && fixed[j] == fixed[i])
                ++j;
            evaluate(0, c.size(), fixed[i].isLeft, fixed[i].tMin, fixed[i].tMax, int64_t(j - i));
            i = j;
        }
        fixed.clear();
    }
};

}  // namespace

KdSplitChoice chooseKdSplit(const KdNodeBox& box, const std::vector<uint32_t>& list,
                            const std::vector<RtTriangle>& triangles)
{
    KdSplitChoice best;
    float bestCost = 0.0f;
    // Scratch reused across the nodes a thread builds.
    thread_local std::vector<int64_t> left, right;
    thread_local std::vector<FixedInterval> fixed;
    thread_local std::vector<float> lows, highs;  // per axis, the node's triangle boxes in list order
    thread_local std::vector<uint8_t> overlaps;   // bit a: the box overlaps the node box on axis a
    thread_local std::vector<float> c;

    // One pass over the triangles gathers their boxes, so the three axis passes read them
    // linearly, and tests each axis against the node box once instead of twice.
    const size_t count = list.size();
    lows.resize(3 * count);
    highs.resize(3 * count);
    overlaps.resize(count);
    for (size_t j = 0; j < count; ++j) {
        const RtTriangle& t = triangles[list[j]];
        uint8_t bits = 0;
        for (uint32_t a = 0; a < 3; ++a) {
            const float lo = axisOf(t.boxMin, a), hi = axisOf(t.boxMax, a);
            lows[a * count + j] = lo;
            highs[a * count + j] = hi;
            if (intervalsOverlap(axisOf(box.boxMin, a), axisOf(box.boxMax, a), lo, hi))
                bits |= uint8_t(1u << a);
        }
        overlaps[j] = bits;
    }

    for (uint32_t axis = 0; axis < 3; ++axis) {
        const float m = axisOf(box.boxMin, axis), big = axisOf(box.boxMax, axis);
        fillSplitCandidates(m, big, c);
        if (c.empty())
            continue;
        const size_t n = c.size();
        left.assign(n + 1, 0);
        right.assign(n + 1, 0);
        AxisCounts counts{c, m, big, left, right, fixed};
        // The candidate boxes equal the node box on the other two axes.
        const uint8_t others = uint8_t(7u & ~(1u << axis));
        const float* axisLows = lows.data() + axis * count;
        const float* axisHighs = highs.data() + axis * count;
        for (size_t j = 0; j < count; ++j)
            if ((overlaps[j] & others) == others)
                counts.count(axisLows[j], axisHighs[j]);
        counts.countFixed();
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
