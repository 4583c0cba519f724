// Hot loops over a block of right-hand sides are compiled three times — for
// AVX-512, for AVX2 with FMA, and for the baseline x86-64 the library is
// built for — and the loader picks the one the processor runs (an indirect
// function). The library stays portable and the loops use the wide vectors
// where there are some. Elsewhere the attribute is empty.
#ifndef TAVEX_ENGINE_VECTOR_CLONES_H
#define TAVEX_ENGINE_VECTOR_CLONES_H

#if defined(__x86_64__) && defined(__linux__) && (defined(__GNUC__) || defined(__clang__))
#define TAVEX_VECTOR_CLONES                                                                        \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define TAVEX_VECTOR_CLONES
#endif

#endif
