#include "content/KdSplit.h"

#include "content/KdBuildConstants.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace Orvanta {

KdSplitOrigin childSplitOrigin(const KdSplitOrigin& parent, const KdSplitChoice& split, bool isLeft)
{
    KdSplitOrigin child;
    child.scale = parent.scale;
    child.staleAxes = 1u << split.axis;
    child.fromParent = true;
    child.isLeft = isLeft;
    child.candidate = split.candidate;
    return child;
}

float kdSplitScale(const KdNodeBox& box)
{
    float scale = 0.0f;
    for (uint32_t a = 0; a < 3; ++a)
        scale = std::max({scale, std::fabs(axisOf(box.boxMin, a)), std::fabs(axisOf(box.boxMax, a))});
    return scale;
}

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

namespace {

// Four candidates at a time. The lanes take the same single-precision steps as the scalar
// evaluation, in the same order, so each lane's result equals splitCost's bit for bit (the build
// does not contract multiplies and adds, and none of these operations depends on the lane width).
typedef float Float4 __attribute__((vector_size(16)));
typedef int32_t Int4 __attribute__((vector_size(16)));

template <typename T>
inline T broadcast(float v)
{
    if constexpr (std::is_same_v<T, float>)
        return v;
    else
        return T{v, v, v, v};
}

template <typename T>
inline T surfaceAreaOf(T dx, T dy, T dz)
{
    return broadcast<T>(2.0f) * (dx * dy + dy * dz + dz * dx);
}

// splitCost for one candidate position (float) or four (Float4); the counts are given as floats.
template <typename T>
inline T splitCostOf(const KdNodeBox& box, uint32_t axis, float total, T c, T nLeft, T nRight)
{
    T leftExtent[3], rightExtent[3];
    for (uint32_t a = 0; a < 3; ++a) {
        const float lo = axisOf(box.boxMin, a), hi = axisOf(box.boxMax, a);
        if (a == axis) {
            leftExtent[a] = c - broadcast<T>(lo);
            rightExtent[a] = broadcast<T>(hi) - c;
        } else {
            leftExtent[a] = rightExtent[a] = broadcast<T>(hi - lo);
        }
    }
    const T left = surfaceAreaOf(leftExtent[0], leftExtent[1], leftExtent[2]);
    const T right = surfaceAreaOf(rightExtent[0], rightExtent[1], rightExtent[2]);
    const T all = broadcast<T>(total);
    return broadcast<T>(kKdTraversalCost) +
           broadcast<T>(kKdIntersectionCost) * (left / all * nLeft + right / all * nRight);
}

}  // namespace

float splitCost(const KdNodeBox& box, uint32_t axis, float c, uint32_t nLeft, uint32_t nRight)
{
    return splitCostOf<float>(box, axis, surfaceArea(box.boxMin, box.boxMax), c, static_cast<float>(nLeft),
                              static_cast<float>(nRight));
}

namespace {

// Bound on the rounding error of intervalsOverlap's float evaluation relative to the exact gap
// between the intervals, for a box whose coordinates are at most `scale` in magnitude. Away from
// that band the float test agrees with exact arithmetic, which is monotonic in the candidate
// position; inside it the test itself is evaluated. A bound from a larger scale than the box's is
// as good; one build uses one scale for all its nodes, so that a node's bounds are its parent's.
inline double overlapErrorBound(float scale, float triMin, float triMax)
{
    const double s = 2.0 * double(scale) + std::fabs(double(triMin)) + std::fabs(double(triMax));
    return s * std::ldexp(1.0, -19) + 1e-30;
}

// Candidates sit about kKdCandidateStep apart from c[0], so the position of a value is guessed from its
// distance to c[0] and then corrected by stepping; the accumulated rounding of the additions moves
// the guess by far less than one step, so the walk is short. The result is the one a binary search
// over the sorted candidates gives. The guess is one past the truncated distance, where the first
// candidate at least `value` usually is, so the common walk takes no step.
inline size_t firstAtLeast(const float* c, size_t n, double value)
{
    constexpr double inverseStep = 1.0 / double(kKdCandidateStep);
    double guess = (value - double(c[0])) * inverseStep + 1.0;
    guess = guess > 0.0 ? guess : 0.0;  // also NaN
    size_t i = guess < double(n) ? size_t(guess) : n;
    while (i > 0 && double(c[i - 1]) >= value)
        --i;
    while (i < n && double(c[i]) < value)
        ++i;
    return i;
}

// [lo, hi): the candidates within err of value, where the float test must be evaluated.
inline void band(const float* c, size_t n, double value, double err, size_t& lo, size_t& hi)
{
    lo = firstAtLeast(c, n, value - err);
    hi = lo;
    while (hi < n && double(c[hi]) <= value + err)
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
    bool operator==(const FixedInterval& o) const { return isLeft == o.isLeft && tMin == o.tMin && tMax == o.tMax; }
};

struct AxisCounts {
    const float* c;
    size_t n;
    float m, big;
    float scale;
    int32_t* left;  // differences: left[i] - left[i - 1] boxes overlap at candidate i
    int32_t* right;
    std::vector<FixedInterval>& fixed;
    // Triangles whose right boxes overlap from candidate 0 on: right[0] summed apart, since
    // almost every triangle adds to it.
    int32_t rightFromStart = 0;

    // Adds `weight` at every candidate from..to-1 where the float test says the side's box
    // overlaps [tMin, tMax].
    void evaluate(size_t from, size_t to, bool isLeft, float tMin, float tMax, int32_t weight)
    {
        int32_t* d = isLeft ? left : right;
        for (size_t i = from; i < to; ++i) {
            const bool hit = isLeft ? intervalsOverlap(m, c[i], tMin, tMax) : intervalsOverlap(c[i], big, tMin, tMax);
            if (hit) {
                d[i] += weight;
                d[i + 1] -= weight;
            }
        }
    }

    // The common case of count, one side at a time: the float test switches at one candidate, with
    // no candidate near enough to the switch to need evaluating. Then the left boxes overlap the
    // triangle from `at` on (n: never), or the right boxes below `at` (0: never), and the result
    // is true. False when count must evaluate candidates.
    bool sideEvent(bool isLeft, float tMin, float tMax, double err, int32_t& at) const
    {
        // The exact gap at the fixed face of the side's boxes: m - tMax on the left, tMin - big on
        // the right.
        const double fixedGap = isLeft ? double(m) - double(tMax) : double(tMin) - double(big);
        if (fixedGap < -err) {
            size_t lo, hi;
            band(c, n, double(isLeft ? tMin : tMax), err, lo, hi);
            at = int32_t(isLeft ? hi : lo);
            return lo == hi;
        }
        at = int32_t(isLeft ? n : 0);
        return fixedGap > err;
    }

    void addPlain(int32_t leftFrom, int32_t rightTo)
    {
        left[leftFrom] += 1;
        rightFromStart += 1;
        right[rightTo] -= 1;
    }

    // Adds to the counts (kept as differences: +1 at i, -1 at i + 1) the candidates where the
    // left and right candidate boxes overlap one triangle along the split axis. The left boxes'
    // counts run to the end, so their closing -1 at n is never read and left out.
    void count(float tMin, float tMax)
    {
        const double err = overlapErrorBound(scale, tMin, tMax);
        size_t lo, hi;

        // Left boxes [m, c]: exact gap max(m - tMax, tMin - c).
        const double leftFixed = double(m) - double(tMax);
        if (leftFixed < -err) {
            band(c, n, double(tMin), err, lo, hi);
            if (lo != hi)
                evaluate(lo, hi, true, tMin, tMax, 1);
            left[hi] += 1;
        } else if (leftFixed <= err) {
            fixed.push_back({tMin, tMax, true});
        }

        // Right boxes [c, big]: exact gap max(c - tMax, tMin - big).
        const double rightFixed = double(tMin) - double(big);
        if (rightFixed < -err) {
            band(c, n, double(tMax), err, lo, hi);
            rightFromStart += 1;
            right[lo] -= 1;
            if (lo != hi)
                evaluate(lo, hi, false, tMin, tMax, 1);
        } else if (rightFixed <= err) {
            fixed.push_back({tMin, tMax, false});
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
            evaluate(0, n, fixed[i].isLeft, fixed[i].tMin, fixed[i].tMax, int32_t(j - i));
            i = j;
        }
        fixed.clear();
    }
};

}  // namespace

KdSplitChoice chooseKdSplit(const KdNodeBox& box, std::vector<KdSplitEntry>& entries, const KdSplitOrigin& origin,
                            const std::vector<RtTriangle>& triangles)
{
    const uint32_t staleAxes = origin.staleAxes;
    KdSplitChoice best;
    float bestCost = 0.0f;
    // Scratch reused across the nodes a thread builds.
    thread_local std::vector<int32_t> left, right;
    thread_local std::vector<FixedInterval> fixed;
    thread_local std::vector<float> lows, highs;  // per stale axis, the entries' triangle boxes
    thread_local std::vector<float> c;
    thread_local std::vector<float> costs;  // per candidate of one axis

    // The stale axes' triangle intervals, gathered once, and their overlap bits, which every
    // axis's count reads. One axis at a time, the coordinate chosen before the loop.
    const size_t count = entries.size();
    lows.resize(3 * count);
    highs.resize(3 * count);
    for (uint32_t a = 0; a < 3; ++a) {
        if (!(staleAxes & (1u << a)))
            continue;
        float Float3::*const coordinate = a == 0 ? &Float3::x : (a == 1 ? &Float3::y : &Float3::z);
        const float boxLo = box.boxMin.*coordinate, boxHi = box.boxMax.*coordinate;
        const uint8_t bit = uint8_t(1u << a);
        float* axisLows = lows.data() + a * count;
        float* axisHighs = highs.data() + a * count;
        for (size_t j = 0; j < count; ++j) {
            KdSplitEntry& e = entries[j];
            const RtTriangle& t = triangles[e.triangle];
            const float lo = t.boxMin.*coordinate, hi = t.boxMax.*coordinate;
            axisLows[j] = lo;
            axisHighs[j] = hi;
            e.overlaps = intervalsOverlap(boxLo, boxHi, lo, hi) ? uint8_t(e.overlaps | bit)
                                                                : uint8_t(e.overlaps & ~bit);
        }
    }

    for (uint32_t axis = 0; axis < 3; ++axis) {
        const float m = axisOf(box.boxMin, axis), big = axisOf(box.boxMax, axis);
        fillSplitCandidates(m, big, c);
        if (c.empty())
            continue;
        const size_t n = c.size();
        left.assign(n + 1, 0);
        right.assign(n + 1, 0);
        AxisCounts counts{c.data(), n, m, big, origin.scale, left.data(), right.data(), fixed};
        // The candidate boxes equal the node box on the other two axes.
        const uint8_t others = uint8_t(7u & ~(1u << axis));
        const uint8_t bit = uint8_t(1u << axis);
        if (staleAxes & bit) {
            // Every entry's events are found again, counted or not: a child may count an entry
            // this node leaves out, and reads the events from here. A child keeps its parent's
            // events on the side whose boxes it shares: the left child's candidates are the
            // parent's below the split, the right child's those from the split on.
            const bool keepLeft = origin.fromParent && origin.isLeft;
            const bool keepRight = origin.fromParent && !origin.isLeft;
            const int32_t shift = int32_t(origin.candidate);
            const float* axisLows = lows.data() + axis * count;
            const float* axisHighs = highs.data() + axis * count;
            for (size_t j = 0; j < count; ++j) {
                KdSplitEntry& e = entries[j];
                const float tMin = axisLows[j], tMax = axisHighs[j];
                const double err = overlapErrorBound(origin.scale, tMin, tMax);
                bool plain;
                if (keepLeft && !(e.special & bit)) {
                    e.leftFrom[axis] = std::min(e.leftFrom[axis], int32_t(n));
                    plain = counts.sideEvent(false, tMin, tMax, err, e.rightTo[axis]);
                } else if (keepRight && !(e.special & bit)) {
                    e.rightTo[axis] = std::max(e.rightTo[axis], shift) - shift;
                    plain = counts.sideEvent(true, tMin, tMax, err, e.leftFrom[axis]);
                } else {
                    plain = counts.sideEvent(true, tMin, tMax, err, e.leftFrom[axis]) &&
                            counts.sideEvent(false, tMin, tMax, err, e.rightTo[axis]);
                }
                const bool counted = (e.overlaps & others) == others;
                if (plain) {
                    e.special = uint8_t(e.special & ~bit);
                    if (counted)
                        counts.addPlain(e.leftFrom[axis], e.rightTo[axis]);
                } else {
                    e.special = uint8_t(e.special | bit);
                    if (counted)
                        counts.count(tMin, tMax);
                }
            }
        } else {
            // The box is the one the events were found for on this axis: they are replayed.
            for (const KdSplitEntry& e : entries) {
                if ((e.overlaps & others) != others)
                    continue;
                if (!(e.special & bit)) {
                    counts.addPlain(e.leftFrom[axis], e.rightTo[axis]);
                } else {
                    const RtTriangle& t = triangles[e.triangle];
                    counts.count(axisOf(t.boxMin, axis), axisOf(t.boxMax, axis));
                }
            }
        }
        counts.countFixed();
        right[0] += counts.rightFromStart;

        // The counts at every candidate (prefix sums in place), then the costs four at a time,
        // then the first cheapest.
        int32_t nLeft = 0, nRight = 0;
        for (size_t i = 0; i < n; ++i) {
            nLeft += left[i];
            nRight += right[i];
            left[i] = nLeft;
            right[i] = nRight;
        }
        costs.resize(n);
        const float total = surfaceArea(box.boxMin, box.boxMax);
        size_t i = 0;
        for (; i + 4 <= n; i += 4) {
            Float4 at;
            Int4 l, r;
            std::memcpy(&at, &c[i], sizeof at);
            std::memcpy(&l, &left[i], sizeof l);
            std::memcpy(&r, &right[i], sizeof r);
            const Float4 cost = splitCostOf<Float4>(box, axis, total, at, __builtin_convertvector(l, Float4),
                                                    __builtin_convertvector(r, Float4));
            std::memcpy(&costs[i], &cost, sizeof cost);
        }
        for (; i < n; ++i)
            costs[i] = splitCostOf<float>(box, axis, total, c[i], float(left[i]), float(right[i]));
        for (i = 0; i < n; ++i) {
            if (!best.found || costs[i] < bestCost) {
                best = {true, axis, c[i], uint32_t(i)};
                bestCost = costs[i];
            }
        }
    }
    return best;
}

KdSplitChoice chooseKdSplit(const KdNodeBox& box, const std::vector<uint32_t>& list,
                            const std::vector<RtTriangle>& triangles)
{
    thread_local std::vector<KdSplitEntry> entries;
    entries.resize(list.size());
    for (size_t j = 0; j < list.size(); ++j)
        entries[j].triangle = list[j];
    KdSplitOrigin origin;
    origin.scale = kdSplitScale(box);
    return chooseKdSplit(box, entries, origin, triangles);
}

}  // namespace Orvanta
