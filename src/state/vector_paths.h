// SPDX-License-Identifier: MIT
#pragma once

// Which vector paths are built. Every vector routine has a portable twin that gives the same
// bytes; a build configured with TARVIK_PORTABLE (the `portable` preset) runs the twins alone.
//
//   TARVIK_VECTOR_SSE2  the SSE2 paths (every x86-64)
//   TARVIK_VECTOR_AVX2  the AVX2 paths, compiled for AVX2 beside the rest and chosen at run time
//                       where the processor has it
#if !defined(TARVIK_PORTABLE) && defined(__SSE2__)
#define TARVIK_VECTOR_SSE2 1
#endif
#if defined(TARVIK_VECTOR_SSE2) && defined(__x86_64__) && defined(__GNUC__)
#define TARVIK_VECTOR_AVX2 1
#endif
