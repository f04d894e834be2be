#include "pattern/vector_rose_points.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "pattern/pixel_coordinate.h"

// Built only for x86-64 with GCC or clang and glibc's libmvec; the AVX2 code
// sits in functions compiled for AVX2 alone (no FMA, so nothing contracts),
// called only once the processor is known to run it.
#if defined(VZ_LIBMVEC) && defined(__x86_64__) && !defined(__EMSCRIPTEN__) && defined(__GNUC__)
#define VZ_VECTOR_PATH 1
#include <immintrin.h>
// glibc's AVX2 vector sin and cos; <math.h> declares them only under fast-math.
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4v_sin(__m256d);
extern "C" __attribute__((target("avx2"))) __m256d _ZGVdN4v_cos(__m256d);
#define VZ_AVX2 __attribute__((target("avx2")))
#endif

namespace vz {

namespace {

std::atomic<std::uint64_t> firings{0};

// Point i exactly as the scalar path computes it.
void scalar_point(const RoseBatch& b, int i, int* xs, int* ys) {
    double s, c;
    ::sincos(b.ring_angle + b.spin[i] + b.frame_angle, &s, &c);
    xs[i] = clamp_coordinate(b.radius * s * b.petal[i] + b.half, b.last);
    ys[i] = clamp_coordinate(b.radius * c * b.petal[i] + b.half, b.last);
}

#ifdef VZ_VECTOR_PATH

bool processor_has_avx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

// Stores floor(v) + 1 clamped into 1..S for four coordinates, as
// clamp_coordinate does, and returns the lanes within `near` of a step.
VZ_AVX2 inline __m256d clamped_coordinates(__m256d v, __m256d last, __m256d near, __m256d far, int* out) {
    // max and min keep their second operand for NaN, as clamp_coordinate does.
    const __m256d c = _mm256_min_pd(_mm256_max_pd(v, _mm256_setzero_pd()), last);
    const __m128i whole = _mm256_cvttpd_epi32(c);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_add_epi32(whole, _mm_set1_epi32(1)));
    const __m256d fraction = _mm256_sub_pd(c, _mm256_cvtepi32_pd(whole));
    const __m256d below_step = _mm256_cmp_pd(fraction, far, _CMP_GE_OQ);
    const __m256d above_step = _mm256_and_pd(_mm256_cmp_pd(fraction, near, _CMP_LE_OQ),
                                             _mm256_cmp_pd(c, _mm256_set1_pd(1.0), _CMP_GE_OQ));
    return _mm256_or_pd(below_step, above_step);
}

// The guard. Let u = 2^-53. A coordinate is v = R * s * b + S/2 with
// s = sin A (or cos A) and b = sin B, the two products and the sum each
// rounded to nearest (relative error at most u).
//  - glibc documents its scalar sin and cos within 1 ulp and libmvec's AVX2
//    variants within 4 ulp; |s| < 1, where an ulp is at most u, so the two
//    paths' s differ by at most 5u.
//  - R * s: the exact products differ by at most 5u|R|, and each rounding
//    moves one by at most u|R|: at most 7u|R| apart.
//  - * b, with |b| <= 1: at most 7u|R| + 2u|R| = 9u|R| apart.
//  - + S/2, each rounding moving at most u(|R| + S/2): at most
//    E = u (11 |R| + 2 S/2), terms in u^2 left to the margin.
//  |R| is largest in late frames, where R = S/2 - r runs below zero: r is at
//  most 1.4 (1000 + M) / 3.4, about 824, for M <= 1000 and 100 frames, so E
//  stays under 1.2e-12; the margin is taken from each ring's own R, so any R
//  is covered. The margin is T = 1024 E = 2^-43 (11 |R| + 2 S/2).
// A pixel is floor(v) + 1 clamped into 1..S: a non-decreasing step function
// of v with its steps at the integers 1..S-1, and clamping v into
// [0, S - 0.5] first changes no step. When the vector v lies farther than T
// from every step, the scalar v, at most E away, gives the same pixel;
// otherwise the point is recomputed with scalar sincos. Where R = 0 or
// b = 0 both paths add a zero to S/2, exactly the same v: no guard there.
// For v spread over many pixels the guard fires on about 4T of the points
// (two coordinates, T either side of a step): under 10^-8.
VZ_AVX2 void guarded_avx2(const RoseBatch& b, int count, const double* sin_a, const double* cos_a, int* xs,
                          int* ys) {
    const double margin = b.radius == 0.0 ? -1.0 : 0x1p-43 * (11 * std::fabs(b.radius) + 2 * b.half);
    const __m256d radius = _mm256_set1_pd(b.radius), half = _mm256_set1_pd(b.half), last = _mm256_set1_pd(b.last);
    const __m256d near = _mm256_set1_pd(margin), far = _mm256_set1_pd(1.0 - margin);
    for (int i = 0; i < count; i += 4) {
        const __m256d petal = _mm256_loadu_pd(b.petal + i);
        const __m256d x = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(radius, _mm256_loadu_pd(sin_a + i)), petal), half);
        const __m256d y = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(radius, _mm256_loadu_pd(cos_a + i)), petal), half);
        const __m256d fired = _mm256_andnot_pd(_mm256_cmp_pd(petal, _mm256_setzero_pd(), _CMP_EQ_OQ),
                                               _mm256_or_pd(clamped_coordinates(x, last, near, far, xs + i),
                                                            clamped_coordinates(y, last, near, far, ys + i)));
        if (int lanes = _mm256_movemask_pd(fired)) {
            firings.fetch_add(static_cast<std::uint64_t>(__builtin_popcount(lanes)), std::memory_order_relaxed);
            for (; lanes != 0; lanes &= lanes - 1) scalar_point(b, i + __builtin_ctz(lanes), xs, ys);
        }
    }
}

VZ_AVX2 int draw_avx2(const RoseBatch& b, int count, int* xs, int* ys) {
    const int n = count & ~3;
    alignas(32) double sin_a[kVectorBatch], cos_a[kVectorBatch];
    const __m256d ring_angle = _mm256_set1_pd(b.ring_angle), frame_angle = _mm256_set1_pd(b.frame_angle);
    for (int i = 0; i < n; i += 4) {
        const __m256d angle = _mm256_add_pd(_mm256_add_pd(ring_angle, _mm256_loadu_pd(b.spin + i)), frame_angle);
        _mm256_store_pd(sin_a + i, _ZGVdN4v_sin(angle));
        _mm256_store_pd(cos_a + i, _ZGVdN4v_cos(angle));
    }
    guarded_avx2(b, n, sin_a, cos_a, xs, ys);
    return n;
}

#endif

}  // namespace

bool vector_path_available() {
#ifdef VZ_VECTOR_PATH
    static const bool available = processor_has_avx2();
    return available;
#else
    return false;
#endif
}

DrawingPath drawing_path_from_environment() {
    const char* scalar = std::getenv("VZ_SCALAR_DRAWING");
    if (scalar != nullptr && *scalar != '\0' && std::strcmp(scalar, "0") != 0) return DrawingPath::Scalar;
    return vector_path_available() ? DrawingPath::Vector : DrawingPath::Scalar;
}

int draw_vector_points(const RoseBatch& batch, int count, int* xs, int* ys) {
#ifdef VZ_VECTOR_PATH
    if (vector_path_available()) return draw_avx2(batch, count, xs, ys);
#else
    (void)batch, (void)count, (void)xs, (void)ys;
#endif
    return 0;
}

void guarded_coordinates(const RoseBatch& batch, int count, const double* sin_a, const double* cos_a, int* xs,
                         int* ys) {
#ifdef VZ_VECTOR_PATH
    if (vector_path_available()) return guarded_avx2(batch, count, sin_a, cos_a, xs, ys);
#else
    (void)sin_a, (void)cos_a;
#endif
    for (int i = 0; i < count; ++i) scalar_point(batch, i, xs, ys);
}

std::uint64_t guard_firings() { return firings.load(std::memory_order_relaxed); }

}  // namespace vz
