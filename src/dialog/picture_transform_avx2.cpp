// AVX2 kernel of the picture transform: four destination pixels per step, the cells' corner
// pixels fetched with gathers, the blends in vectors of four doubles.
#include <immintrin.h>

#include "dialog/picture_transform_kernels.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace Veltrane_B2::transform_detail {
namespace {

// Nearest whole number, ties to even.
inline __m256d RoundHalfEven(__m256d value) {
    return _mm256_round_pd(value, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
}

// Each 64-bit lane of `pairs` holds two pixels (B, G, R, unused). Overwrites the unused bytes
// with the top bytes of 2^52 (0x4330000000000000), so that one byte shuffle can build
// 2^52 + byte in a double's bits; subtracting 2^52 then leaves the byte's value exactly.
inline __m256i WithExponentBytes(__m256i pairs) {
    const __m256i exponent = _mm256_set1_epi64x(0x3000000043000000);
    const __m256i unused = _mm256_set1_epi64x(static_cast<long long>(0xFF000000FF000000));
    return _mm256_blendv_epi8(pairs, exponent, unused);
}

// Byte `channel` of the low (kHigh false) or high pixel of each 64-bit lane, as a double.
template <int kChannel, bool kHigh>
inline __m256d ByteAsDouble(__m256i pairs, __m256d magic) {
    constexpr char k = static_cast<char>(kChannel + (kHigh ? 4 : 0));
    constexpr char z = static_cast<char>(0x80);
    constexpr char e0 = 7;  // 0x30, the unused byte of the high pixel
    constexpr char e1 = 3;  // 0x43, the unused byte of the low pixel
    const __m256i pick = _mm256_setr_epi8(
        k, z, z, z, z, z, e0, e1, static_cast<char>(k + 8), z, z, z, z, z, e0 + 8, e1 + 8,  //
        k, z, z, z, z, z, e0, e1, static_cast<char>(k + 8), z, z, z, z, z, e0 + 8, e1 + 8);
    return _mm256_sub_pd(_mm256_castsi256_pd(_mm256_shuffle_epi8(pairs, pick)), magic);
}

// One colour of four pixels: both vertical blends rounded, then the horizontal blend rounded
// to a 32-bit integer (the default rounding mode: nearest, ties to even).
template <int kChannel>
inline __m128i BlendChannel(__m256i upper, __m256i lower, __m256d fx, __m256d fy, __m256d gx,
                            __m256d gy, __m256d magic) {
    const __m256d p00 = ByteAsDouble<kChannel, false>(upper, magic);
    const __m256d p10 = ByteAsDouble<kChannel, true>(upper, magic);
    const __m256d p01 = ByteAsDouble<kChannel, false>(lower, magic);
    const __m256d p11 = ByteAsDouble<kChannel, true>(lower, magic);
    const __m256d left =
        RoundHalfEven(_mm256_add_pd(_mm256_mul_pd(gy, p00), _mm256_mul_pd(p01, fy)));
    const __m256d right =
        RoundHalfEven(_mm256_add_pd(_mm256_mul_pd(gy, p10), _mm256_mul_pd(p11, fy)));
    return _mm256_cvtpd_epi32(_mm256_add_pd(_mm256_mul_pd(gx, left), _mm256_mul_pd(right, fx)));
}

template <bool kSmooth>
void Avx2Row(const Job& job, int y) {
    const double dy = y - job.hdh;
    const __m256d dyS = _mm256_set1_pd(dy * job.s);
    const __m256d dyC = _mm256_set1_pd(dy * job.c);
    const __m256d hsw = _mm256_set1_pd(job.hsw);
    const __m256d hsh = _mm256_set1_pd(job.hsh);
    const __m256d uLimit = _mm256_set1_pd(job.uLimit);
    const __m256d vLimit = _mm256_set1_pd(job.vLimit);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d one = _mm256_set1_pd(1.0);
    const __m256d magic = _mm256_set1_pd(0x1p52);
    const __m128i sourceWidth = _mm_set1_epi32(job.sourceWidth);
    const __m256i evenLanes = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    const long long* upperRow = reinterpret_cast<const long long*>(job.source);
    const long long* lowerRow = reinterpret_cast<const long long*>(
        job.source + static_cast<std::size_t>(job.sourceWidth) * 4);
    const int width = job.destinationWidth;
    std::uint8_t* out = job.destination + static_cast<std::size_t>(y) * width * 4;

    for (int x = 0; x < width; x += 4, out += 16) {
        // u = (dx * C - dy * S) + hsw; v = (dx * S + dy * C) + hsh.
        __m256d u = _mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(job.colC + x), dyS), hsw);
        __m256d v = _mm256_add_pd(_mm256_add_pd(_mm256_loadu_pd(job.colS + x), dyC), hsh);
        // Ordered comparisons: NaN is outside.
        const __m256d inside = _mm256_and_pd(
            _mm256_and_pd(_mm256_cmp_pd(u, zero, _CMP_GE_OQ), _mm256_cmp_pd(u, uLimit, _CMP_LT_OQ)),
            _mm256_and_pd(_mm256_cmp_pd(v, zero, _CMP_GE_OQ),
                          _mm256_cmp_pd(v, vLimit, _CMP_LT_OQ)));
        __m128i pixels = _mm_setzero_si128();
        if (_mm256_movemask_pd(inside) != 0) {
            // Samples outside read the cell at (0, 0) instead and are masked to black below.
            u = _mm256_and_pd(u, inside);
            v = _mm256_and_pd(v, inside);
            const __m128i ix = _mm256_cvttpd_epi32(u);  // floor, as u >= 0
            const __m128i iy = _mm256_cvttpd_epi32(v);
            const __m128i index = _mm_add_epi32(_mm_mullo_epi32(iy, sourceWidth), ix);
            if constexpr (!kSmooth) {
                pixels = _mm_i32gather_epi32(reinterpret_cast<const int*>(job.source), index, 4);
            } else {
                // Each 64-bit lane: P(ix, iy) low, P(ix + 1, iy) high; then the row below.
                const __m256i upper = WithExponentBytes(_mm256_i32gather_epi64(upperRow, index, 4));
                const __m256i lower = WithExponentBytes(_mm256_i32gather_epi64(lowerRow, index, 4));
                const __m256d fx = _mm256_sub_pd(u, _mm256_cvtepi32_pd(ix));
                const __m256d fy = _mm256_sub_pd(v, _mm256_cvtepi32_pd(iy));
                const __m256d gx = _mm256_sub_pd(one, fx);
                const __m256d gy = _mm256_sub_pd(one, fy);
                // Saturating packs clamp to 0 .. 255: blue, green, red of four pixels, then
                // pixel by pixel with a zero fourth byte.
                const __m128i blueGreen =
                    _mm_packus_epi32(BlendChannel<0>(upper, lower, fx, fy, gx, gy, magic),
                                     BlendChannel<1>(upper, lower, fx, fy, gx, gy, magic));
                const __m128i red = _mm_packus_epi32(
                    BlendChannel<2>(upper, lower, fx, fy, gx, gy, magic), _mm_setzero_si128());
                pixels = _mm_shuffle_epi8(
                    _mm_packus_epi16(blueGreen, red),
                    _mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 12, 2, 6, 10, 12, 3, 7, 11, 12));
            }
            const __m128i keep = _mm256_castsi256_si128(
                _mm256_permutevar8x32_epi32(_mm256_castpd_si256(inside), evenLanes));
            pixels = _mm_and_si128(pixels, _mm_and_si128(keep, _mm_set1_epi32(0x00FFFFFF)));
        }
        if (x + 4 <= width) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pixels);
        } else {
            alignas(16) std::uint8_t last[16];
            _mm_store_si128(reinterpret_cast<__m128i*>(last), pixels);
            for (int i = 0; i < (width - x) * 4; ++i) out[i] = last[i];
        }
    }
}

}  // namespace

void Avx2Rows(const Job& job) {
    for (int y = 0; y < job.destinationHeight; ++y) {
        if (job.smooth) {
            Avx2Row<true>(job, y);
        } else {
            Avx2Row<false>(job, y);
        }
    }
}

}  // namespace Veltrane_B2::transform_detail

#pragma GCC pop_options
