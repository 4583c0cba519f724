// One row of a block of right-hand sides (kSolveBlock doubles, one per
// right-hand side) held as whole vectors of eight doubles, so that the hot
// loops of the block solves keep a row in registers and work on it with
// full-width multiply-adds. Written with plain loops over the block the
// compiler sometimes vectorises across the sparse rows instead, with
// element-by-element loads; the vector type leaves it no such choice. In a
// clone for narrower vectors the compiler splits each one.
#ifndef TAVEX_ENGINE_BLOCK_ROW_H
#define TAVEX_ENGINE_BLOCK_ROW_H

#include "engine/block_solve.h"

#include <cstring>

namespace Tavex {

// Passing such vectors between functions compiled for different vector
// widths would change the calling convention; these helpers are always
// inlined, so no such call exists and the compiler's note on it is moot.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

typedef double Lane __attribute__((vector_size(64)));
inline constexpr std::size_t kLaneWidth = 8;
inline constexpr std::size_t kLanes = kSolveBlock / kLaneWidth;
static_assert(kSolveBlock % kLaneWidth == 0);

struct BlockRow {
    Lane lane[kLanes];

    [[gnu::always_inline]] static BlockRow Zero() {
        BlockRow r;
        for (std::size_t w = 0; w < kLanes; ++w)
            r.lane[w] = Lane{};
        return r;
    }
    [[gnu::always_inline]] static BlockRow Load(const double* p) {
        BlockRow r;
        std::memcpy(static_cast<void*>(r.lane), p, sizeof r.lane);
        return r;
    }
    [[gnu::always_inline]] void Store(double* p) const { std::memcpy(p, lane, sizeof lane); }
    // this += a · row p.
    [[gnu::always_inline]] void AddScaled(double a, const double* p) {
        for (std::size_t w = 0; w < kLanes; ++w) {
            Lane v;
            std::memcpy(&v, p + w * kLaneWidth, sizeof v);
            lane[w] += a * v;
        }
    }
    // this −= a · row p.
    [[gnu::always_inline]] void SubtractScaled(double a, const double* p) {
        for (std::size_t w = 0; w < kLanes; ++w) {
            Lane v;
            std::memcpy(&v, p + w * kLaneWidth, sizeof v);
            lane[w] -= a * v;
        }
    }
    // this −= a · r.
    [[gnu::always_inline]] void SubtractScaled(double a, const BlockRow& r) {
        for (std::size_t w = 0; w < kLanes; ++w)
            lane[w] -= a * r.lane[w];
    }
    [[gnu::always_inline]] void Divide(double d) {
        for (std::size_t w = 0; w < kLanes; ++w)
            lane[w] /= d;
    }
};

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

} // namespace Tavex

#endif
