#include "dialog/picture_transform.h"

#include <emmintrin.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#include "dialog/picture_transform_kernels.h"

namespace Veltrane_B2 {
namespace {

// Minimax polynomials for sin and cos on [-pi/4, pi/4] (the classic fdlibm coefficients).
constexpr double kS1 = -1.66666666666666324348e-01;
constexpr double kS2 = 8.33333333332248946124e-03;
constexpr double kS3 = -1.98412698298579493134e-04;
constexpr double kS4 = 2.75573137070700676789e-06;
constexpr double kS5 = -2.50507602534068634195e-08;
constexpr double kS6 = 1.58969099521155010221e-10;
constexpr double kC1 = 4.16666666666666019037e-02;
constexpr double kC2 = -1.38888888888741095749e-03;
constexpr double kC3 = 2.48015872894767294178e-05;
constexpr double kC4 = -2.75573143513906633035e-07;
constexpr double kC5 = 2.08757232129817482790e-09;
constexpr double kC6 = -1.13596475577881948265e-11;

// 2 / pi, and pi / 2 split into three 33-bit parts with their tails, so that n * part is
// exact for every n below 2^20.
constexpr double kInvPio2 = 6.36619772367581382433e-01;
constexpr double kPio2_1 = 1.57079632673412561417e+00;
constexpr double kPio2_1t = 6.07710050650619224932e-11;
constexpr double kPio2_2 = 6.07710050630396597660e-11;
constexpr double kPio2_2t = 2.02226624879595063154e-21;
constexpr double kPio2_3 = 2.02226624871116645580e-21;
constexpr double kPio2_3t = 8.47842766036889956997e-32;
constexpr double kReductionLimit = 1647099.0;  // about 2^20 * pi / 2

int BiasedExponent(double x) {
    return static_cast<int>((std::bit_cast<std::uint64_t>(x) >> 52) & 0x7FF);
}

// sin(x + tail) for |x| <= pi/4, tail being the small remainder of the reduction.
double KernelSin(double x, double tail) {
    if (std::fabs(x) < 0x1p-27) return x;
    const double z = x * x;
    const double v = z * x;
    const double r = kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)));
    return x - ((z * (0.5 * tail - v * r) - tail) - v * kS1);
}

// cos(x + tail) for |x| <= pi/4.
double KernelCos(double x, double tail) {
    const double ax = std::fabs(x);
    if (ax < 0x1p-27) return 1.0;
    const double z = x * x;
    const double r = z * (kC1 + z * (kC2 + z * (kC3 + z * (kC4 + z * (kC5 + z * kC6)))));
    if (ax < 0.3) return 1.0 - (0.5 * z - (z * r - x * tail));
    // Split 1 - z/2 so that the large part is exact: qx is about x^2/8 rounded to 21 bits.
    double qx = 0.28125;
    if (ax <= 0.78125) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(ax) - (std::uint64_t{2} << 52);
        qx = std::bit_cast<double>(bits & 0xFFFFFFFF00000000u);
    }
    const double hz = 0.5 * z - qx;
    const double a = 1.0 - qx;
    return a - (hz - (z * r - x * tail));
}

// Reduces |x| < kReductionLimit to head + tail in [-pi/4, pi/4]; returns the quadrant.
int ReduceByHalfPi(double x, double& head, double& tail) {
    const double t = std::fabs(x);
    const int n = static_cast<int>(t * kInvPio2 + 0.5);
    const double fn = n;
    double r = t - fn * kPio2_1;
    double w = fn * kPio2_1t;
    const int exponent = BiasedExponent(t);
    head = r - w;
    if (exponent - BiasedExponent(head) > 16) {  // cancellation: use the second part
        double u = r;
        w = fn * kPio2_2;
        r = u - w;
        w = fn * kPio2_2t - ((u - r) - w);
        head = r - w;
        if (exponent - BiasedExponent(head) > 49) {  // and the third
            u = r;
            w = fn * kPio2_3;
            r = u - w;
            w = fn * kPio2_3t - ((u - r) - w);
            head = r - w;
        }
    }
    tail = (r - head) - w;
    if (x < 0) {
        head = -head;
        tail = -tail;
        return -n;
    }
    return n;
}

}  // namespace

CosSin ModelCosSin(double radians) {
    if (!(std::fabs(radians) < kReductionLimit)) {
        return {std::cos(radians), std::sin(radians)};  // huge or not finite
    }
    if (std::fabs(radians) <= 0.7853981633974483) {
        return {KernelCos(radians, 0.0), KernelSin(radians, 0.0)};
    }
    double head = 0.0;
    double tail = 0.0;
    const int quadrant = ReduceByHalfPi(radians, head, tail) & 3;
    const double s = KernelSin(head, tail);
    const double c = KernelCos(head, tail);
    switch (quadrant) {
        case 0:
            return {c, s};
        case 1:
            return {-s, c};
        case 2:
            return {-c, -s};
        default:
            return {s, -c};
    }
}

namespace transform_detail {
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

bool IsaAvailable(Isa isa) {
    switch (isa) {
        case Isa::Sse2:
            return true;
        case Isa::Avx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
    }
    return false;
}

void TransformPixelsWith(Isa isa, const std::uint8_t* source, int sourceWidth, int sourceHeight,
                         std::uint8_t* destination, int destinationWidth, int destinationHeight,
                         double angleDegrees, bool smooth) {
    if (destination == nullptr || destinationWidth <= 0 || destinationHeight <= 0) return;
    const std::size_t destinationBytes = static_cast<std::size_t>(destinationWidth) *
                                         static_cast<std::size_t>(destinationHeight) * 4;
    // A cell needs two columns and two rows: a source without one (or without pixels) gives black.
    if (source == nullptr || sourceWidth < 2 || sourceHeight < 2) {
        std::memset(destination, 0, destinationBytes);
        return;
    }

    const double hdw = destinationWidth * 0.5;
    const double t = (angleDegrees * kDegreesToRadians) * -1.0;
    const CosSin cs = ModelCosSin(t);

    // A cell starts at a whole column 0 .. width - 2, i.e. floor(u) lies there exactly when
    // 0 <= u < width - 1. Comparing the real coordinate avoids any integer overflow and lets
    // NaN fail the test.
    const std::size_t columns = (static_cast<std::size_t>(destinationWidth) + kColumnPadding - 1) /
                                kColumnPadding * kColumnPadding;
    std::vector<double> table(2 * columns);
    double* colC = table.data();
    double* colS = colC + columns;
    for (std::size_t x = 0; x < columns; ++x) {
        const double dx = static_cast<double>(x) - hdw;
        colC[x] = dx * cs.cos;
        colS[x] = dx * cs.sin;
    }
    const Job job{source,
                  sourceWidth,
                  sourceHeight,
                  destination,
                  destinationWidth,
                  destinationHeight,
                  sourceWidth * 0.5,
                  sourceHeight * 0.5,
                  destinationHeight * 0.5,
                  cs.cos,
                  cs.sin,
                  static_cast<double>(sourceWidth) - 1.0,
                  static_cast<double>(sourceHeight) - 1.0,
                  colC,
                  colS,
                  smooth};
    // The wide kernel indexes source pixels with 32-bit lanes.
    const bool smallSource =
        static_cast<std::int64_t>(sourceWidth) * sourceHeight < (std::int64_t{1} << 31);
    if (isa == Isa::Avx2 && smallSource && IsaAvailable(Isa::Avx2)) {
        Avx2Rows(job);
    } else {
        Sse2Rows(job);
    }
}

}  // namespace transform_detail

void TransformPixels(const std::uint8_t* source, int sourceWidth, int sourceHeight,
                     std::uint8_t* destination, int destinationWidth, int destinationHeight,
                     double angleDegrees, bool smooth) {
    static const transform_detail::Isa best =
        transform_detail::IsaAvailable(transform_detail::Isa::Avx2) ? transform_detail::Isa::Avx2
                                                                    : transform_detail::Isa::Sse2;
    transform_detail::TransformPixelsWith(best, source, sourceWidth, sourceHeight, destination,
                                          destinationWidth, destinationHeight, angleDegrees,
                                          smooth);
}

}  // namespace Veltrane_B2
