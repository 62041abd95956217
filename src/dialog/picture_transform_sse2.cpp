// Baseline kernel of the picture transform (SSE2, every x86-64 processor): two destination
// pixels per step, the cells' corner pixels loaded one at a time, the blends in pairs of doubles.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "dialog/picture_transform_kernels.h"

namespace Veltrane_B2::transform_detail {
namespace {

// Nearest whole number, ties to even, for 0 <= value < 2^51: adding 2^52 leaves no fraction
// bits, so the addition itself rounds under the default mode (the build neither contracts nor
// reassociates it).
inline __m128d RoundHalfEven(__m128d value, __m128d magic) {
    return _mm_sub_pd(_mm_add_pd(value, magic), magic);
}

// Two neighbouring pixels from memory into the low half.
inline __m128i Load64(const std::uint8_t* pixels) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixels));
}

// Two destination pixels per step. The corner pixels are loaded one at a time (SSE2 has no
// gathers), the blends run in pairs of doubles.
void Sse2Row(const Job& job, int y) {
    const double dy = y - job.hdh;
    const __m128d dyS = _mm_set1_pd(dy * job.s);
    const __m128d dyC = _mm_set1_pd(dy * job.c);
    const __m128d hsw = _mm_set1_pd(job.hsw);
    const __m128d hsh = _mm_set1_pd(job.hsh);
    const __m128d uLimit = _mm_set1_pd(job.uLimit);
    const __m128d vLimit = _mm_set1_pd(job.vLimit);
    const __m128d zero = _mm_setzero_pd();
    const __m128d one = _mm_set1_pd(1.0);
    const __m128d magic = _mm_set1_pd(0x1p52);
    const __m128i byteMask = _mm_set1_epi32(0xFF);
    const std::size_t stride = static_cast<std::size_t>(job.sourceWidth) * 4;
    const int width = job.destinationWidth;
    std::uint8_t* out = job.destination + static_cast<std::size_t>(y) * width * 4;

    for (int x = 0; x < width; x += 2, out += 8) {
        // u = (dx * C - dy * S) + hsw; v = (dx * S + dy * C) + hsh.
        __m128d u = _mm_add_pd(_mm_sub_pd(_mm_loadu_pd(job.colC + x), dyS), hsw);
        __m128d v = _mm_add_pd(_mm_add_pd(_mm_loadu_pd(job.colS + x), dyC), hsh);
        // Ordered comparisons: NaN is outside.
        const __m128d inside =
            _mm_and_pd(_mm_and_pd(_mm_cmpge_pd(u, zero), _mm_cmplt_pd(u, uLimit)),
                       _mm_and_pd(_mm_cmpge_pd(v, zero), _mm_cmplt_pd(v, vLimit)));
        __m128i pixels = _mm_setzero_si128();
        if (_mm_movemask_pd(inside) != 0) {
            // Samples outside read the cell at (0, 0) instead and are masked to black below.
            u = _mm_and_pd(u, inside);
            v = _mm_and_pd(v, inside);
            const __m128i ix = _mm_cvttpd_epi32(u);  // floor, as u >= 0
            const __m128i iy = _mm_cvttpd_epi32(v);
            const std::uint8_t* cell0 = job.source +
                                        static_cast<std::size_t>(_mm_cvtsi128_si32(iy)) * stride +
                                        static_cast<std::size_t>(_mm_cvtsi128_si32(ix)) * 4;
            const std::uint8_t* cell1 =
                job.source +
                static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(iy, 4))) * stride +
                static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(ix, 4))) * 4;
            if (!job.smooth) {
                pixels = _mm_unpacklo_epi32(_mm_loadu_si32(cell0), _mm_loadu_si32(cell1));
            } else {
                // [P(ix, iy), P(ix + 1, iy)] of both samples, then the row below.
                const __m128i upper = _mm_unpacklo_epi32(Load64(cell0), Load64(cell1));
                const __m128i lower =
                    _mm_unpacklo_epi32(Load64(cell0 + stride), Load64(cell1 + stride));
                const __m128d fx = _mm_sub_pd(u, _mm_cvtepi32_pd(ix));
                const __m128d fy = _mm_sub_pd(v, _mm_cvtepi32_pd(iy));
                const __m128d gx = _mm_sub_pd(one, fx);
                const __m128d gy = _mm_sub_pd(one, fy);
                __m128i channels[3];
                for (int channel = 0; channel < 3; ++channel) {
                    const __m128i up = _mm_and_si128(_mm_srli_epi32(upper, 8 * channel), byteMask);
                    const __m128i lo = _mm_and_si128(_mm_srli_epi32(lower, 8 * channel), byteMask);
                    const __m128d p00 = _mm_cvtepi32_pd(up);
                    const __m128d p10 = _mm_cvtepi32_pd(_mm_srli_si128(up, 8));
                    const __m128d p01 = _mm_cvtepi32_pd(lo);
                    const __m128d p11 = _mm_cvtepi32_pd(_mm_srli_si128(lo, 8));
                    const __m128d left =
                        RoundHalfEven(_mm_add_pd(_mm_mul_pd(gy, p00), _mm_mul_pd(p01, fy)), magic);
                    const __m128d right =
                        RoundHalfEven(_mm_add_pd(_mm_mul_pd(gy, p10), _mm_mul_pd(p11, fy)), magic);
                    // The horizontal blend rounds to a 32-bit integer in the default
                    // rounding mode: nearest, ties to even.
                    channels[channel] =
                        _mm_cvtpd_epi32(_mm_add_pd(_mm_mul_pd(gx, left), _mm_mul_pd(right, fx)));
                }
                // Pixel by pixel (blue, green, red, 0); the saturating packs clamp to 0 .. 255.
                const __m128i blueRed = _mm_unpacklo_epi32(channels[0], channels[2]);
                const __m128i green = _mm_unpacklo_epi32(channels[1], _mm_setzero_si128());
                const __m128i words = _mm_packs_epi32(_mm_unpacklo_epi32(blueRed, green),
                                                      _mm_unpackhi_epi32(blueRed, green));
                pixels = _mm_packus_epi16(words, words);
            }
            const __m128i keep =
                _mm_shuffle_epi32(_mm_castpd_si128(inside), _MM_SHUFFLE(3, 3, 2, 0));
            pixels = _mm_and_si128(pixels, _mm_and_si128(keep, _mm_set1_epi32(0x00FFFFFF)));
        }
        if (x + 1 < width) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), pixels);
        } else {
            _mm_storeu_si32(out, pixels);
        }
    }
}

}  // namespace

void Sse2Rows(const Job& job) {
    for (int y = 0; y < job.destinationHeight; ++y) Sse2Row(job, y);
}

}  // namespace Veltrane_B2::transform_detail
