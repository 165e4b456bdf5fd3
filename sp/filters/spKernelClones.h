// The filter kernels are plain loops over pixels that the compiler vectorises. Each kernel
// is built twice, for every x86-64 and for processors with AVX2, and the loader picks the
// build at run time. Both builds compute the same IEEE operations per element in the same
// order (nothing is fused: -ffp-contract=off), so their results are bit-identical.
#pragma once

#define SP_KERNEL_CLONES __attribute__((target_clones("avx2", "default")))
