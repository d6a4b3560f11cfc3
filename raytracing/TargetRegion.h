#pragma once
// Opens and closes a region of a source file compiled for more instructions than the build's
// baseline (a GCC or clang target such as "avx2"). Functions declared inside the region, function
// templates and member functions included, use them; the rest of the file does not, nor does any
// header included before the region opens. Lambdas written inside do not take the target. Call
// into a region only on CPUs that have its instructions.

#define ORVANTA_PRAGMA(text) _Pragma(#text)

#if defined(__clang__)
#define ORVANTA_BEGIN_TARGET(instructions)                                                                             \
    ORVANTA_PRAGMA(clang attribute push(__attribute__((target(instructions))), apply_to = function))
#define ORVANTA_END_TARGET() ORVANTA_PRAGMA(clang attribute pop)
#else
#define ORVANTA_BEGIN_TARGET(instructions) ORVANTA_PRAGMA(GCC push_options) ORVANTA_PRAGMA(GCC target(instructions))
#define ORVANTA_END_TARGET() ORVANTA_PRAGMA(GCC pop_options)
#endif
