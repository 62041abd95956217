// AVX-512 kernels: sixteen destination pixels per vector. The nearest-pixel and exact kernels are
// rotate_vector.h's with the operations below; the bilinear kernel is this file's own.
// GCC 12 warns about the deliberately undefined vectors inside its own AVX-512 headers (GCC bug
// 105593); the warnings are off for this file only.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <immintrin.h>

#include <algorithm>

#include "effects/rotate_kernels.h"

#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512dq,avx512vl")

#include "effects/rotate_vector.h"

namespace Veltrane_B1::rotate_detail {
namespace {

constexpr __mmask64 kColourBytes = 0x7777777777777777ull;

struct RowSetup {
    __m512d rowS, rowC, cx, cyB;
};

inline RowSetup SetupRow(const RowJob& job, const Tile& t, std::int32_t r) {
    return {_mm512_set1_pd(t.rowS[r]), _mm512_set1_pd(t.rowC[r]), _mm512_set1_pd(job.cx),
            _mm512_set1_pd(job.cyB)};
}

inline __m512i Join(__m256i lo, __m256i hi) {
    return _mm512_inserti64x4(_mm512_zextsi256_si512(lo), hi, 1);
}

// u and v of the model for eight columns.
inline __m512d U8(const RowSetup& r, const double* colC) {
    return _mm512_add_pd(_mm512_sub_pd(_mm512_loadu_pd(colC), r.rowS), r.cx);
}
inline __m512d V8(const RowSetup& r, const double* colS) {
    return _mm512_add_pd(_mm512_add_pd(r.rowC, _mm512_loadu_pd(colS)), r.cyB);
}

// Lanes with 1 <= s <= limit.
inline __mmask16 InRange16(__m512i s, __m512i limit) {
    return _mm512_cmplt_epu32_mask(_mm512_sub_epi32(s, _mm512_set1_epi32(1)), limit);
}

inline std::int32_t Lane0(__m512i v) {
    return _mm_cvtsi128_si32(_mm512_castsi512_si128(v));
}

// Writes bytes 0..2 of sixteen pixels, keeping byte 3.
inline void Store16(std::uint8_t* d, __m512i colour) {
    const __m512i old = _mm512_loadu_si512(d);
    _mm512_storeu_si512(
        d, _mm512_ternarylogic_epi32(_mm512_set1_epi32(static_cast<int>(0xFF000000u)), old, colour,
                                     0xCA));
}

// Turns sixteen vectors of sixteen 32-bit lanes about their diagonal: lane e of vector m goes to
// lane m of vector e.
inline void Transpose16(__m512i* v) {
    __m512i t[16];
    for (int i = 0; i < 16; i += 2) {
        t[i] = _mm512_unpacklo_epi32(v[i], v[i + 1]);
        t[i + 1] = _mm512_unpackhi_epi32(v[i], v[i + 1]);
    }
    for (int i = 0; i < 16; i += 4) {
        v[i] = _mm512_unpacklo_epi64(t[i], t[i + 2]);
        v[i + 1] = _mm512_unpackhi_epi64(t[i], t[i + 2]);
        v[i + 2] = _mm512_unpacklo_epi64(t[i + 1], t[i + 3]);
        v[i + 3] = _mm512_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
    for (int i = 0; i < 16; i += 8) {
        for (int m = 0; m < 4; ++m) {
            t[i + m] = _mm512_shuffle_i32x4(v[i + m], v[i + 4 + m], 0x88);
            t[i + 4 + m] = _mm512_shuffle_i32x4(v[i + m], v[i + 4 + m], 0xDD);
        }
    }
    for (int m = 0; m < 8; ++m) {
        v[m] = _mm512_shuffle_i32x4(t[m], t[8 + m], 0x88);
        v[8 + m] = _mm512_shuffle_i32x4(t[m], t[8 + m], 0xDD);
    }
}

// The operations the shared kernels (rotate_vector.h) take from AVX-512.
struct Avx512 {
    static constexpr int kLanes = 16;
    using Int = __m512i;
    using Double = __m512d;
    static Double LoadDoubles(const double* p) { return _mm512_loadu_pd(p); }
    static Double Broadcast(double a) { return _mm512_set1_pd(a); }
    static Int Round(Double lo, Double hi) {
        return Join(_mm512_cvtpd_epi32(lo), _mm512_cvtpd_epi32(hi));
    }
    static Int Splat(std::int32_t a) { return _mm512_set1_epi32(a); }
    static Int Spread(Int v, Int lanes) { return _mm512_permutexvar_epi32(lanes, v); }
    static std::int32_t First(Int v) { return Lane0(v); }
    static Int Sub(Int a, Int b) { return _mm512_sub_epi32(a, b); }
    static bool InWindow(Int dx, Int dy, int rows) {
        return (_mm512_cmplt_epu32_mask(dx, _mm512_set1_epi32(16)) &
                _mm512_cmplt_epu32_mask(dy, _mm512_set1_epi32(rows))) == 0xFFFF;
    }
    // One permute over both rows: index dx + 16 dy, of which the permute reads the low five bits.
    static Int Pick(const int* low, const int* high, Int dx, Int dy) {
        return _mm512_permutex2var_epi32(_mm512_loadu_si512(low),
                                         _mm512_add_epi32(dx, _mm512_slli_epi32(dy, 4)),
                                         _mm512_loadu_si512(high));
    }
    static Int Half(Int v) { return _mm512_srli_epi32(v, 1); }
    static Int Choose(Int a, Int b, Int sel, int q) {
        return _mm512_mask_blend_epi32(_mm512_cmpeq_epi32_mask(sel, _mm512_set1_epi32(q)), a, b);
    }
    static Int Gather(const Source& source, Int sx, Int sy) {
        const Int background = _mm512_set1_epi32(static_cast<int>(source.background));
        const __mmask16 inside = InRange16(sx, _mm512_set1_epi32(source.width)) &
                                 InRange16(sy, _mm512_set1_epi32(source.height));
        if (inside == 0) return background;
        const Int one = _mm512_set1_epi32(1);
        const Int index = _mm512_add_epi32(
            _mm512_mullo_epi32(_mm512_sub_epi32(sy, one), _mm512_set1_epi32(source.width)),
            _mm512_sub_epi32(sx, one));
        return _mm512_mask_i32gather_epi32(background, inside, index, source.pixels, 4);
    }
    static Int Load(const int* p) { return _mm512_loadu_si512(p); }
    static void Store(std::uint8_t* d, Int colour) { Store16(d, colour); }
    static Int Reversed(Int v) {
        return _mm512_permutexvar_epi32(
            _mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0), v);
    }
    static void Transpose(Int* v) { Transpose16(v); }
};

// The pixels at index and index + 1 for sixteen lanes, from two gathers of pixel pairs.
inline void Pairs(__m512i index, __mmask16 inside, const int* src, __m512i& left, __m512i& right) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i lo = _mm512_mask_i32gather_epi64(zero, static_cast<__mmask8>(inside),
                                                   _mm512_castsi512_si256(index), src, 4);
    const __m512i hi = _mm512_mask_i32gather_epi64(zero, static_cast<__mmask8>(inside >> 8),
                                                   _mm512_extracti64x4_epi64(index, 1), src, 4);
    left = _mm512_permutex2var_epi32(
        lo, _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30), hi);
    right = _mm512_permutex2var_epi32(
        lo, _mm512_setr_epi32(1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 31), hi);
}

// Near 0 and 180 degrees the sixteen lanes' pixel pairs lie within 32 neighbouring pixels of one
// row (and the same of the row below). Then four plain loads and permutes replace the four
// gathers: each lane takes the pixels at its own offsets in that window. False otherwise, or
// when the window would leave the source image. Lanes outside keep whatever the permutes give.
inline bool QuadsFromWindow(const RowJob& job, __m512i i00, __mmask16 inside, __m512i& p00,
                            __m512i& p01, __m512i& p10, __m512i& p11) {
    // Lanes 0 and 15 first: most steps at other angles end here cheaply.
    const std::int32_t first = _mm_cvtsi128_si32(_mm512_castsi512_si128(i00));
    const std::int32_t last = _mm_extract_epi32(_mm512_extracti32x4_epi32(i00, 3), 3);
    if (inside == 0xFFFF && (std::int64_t{last} - first > 30 || std::int64_t{first} - last > 30))
        return false;
    const std::int32_t low = _mm512_mask_reduce_min_epi32(inside, i00);
    const std::int32_t high = _mm512_mask_reduce_max_epi32(inside, i00);
    if (std::int64_t{high} - low > 30) return false;
    if (low < 0 || std::int64_t{low} + job.width + 31 > job.lastPixel) return false;
    const int* top = reinterpret_cast<const int*>(job.src) + low;
    const int* bottom = top + job.width;
    const __m512i left = _mm512_sub_epi32(i00, _mm512_set1_epi32(low));
    const __m512i right = _mm512_add_epi32(left, _mm512_set1_epi32(1));
    const __m512i top0 = _mm512_loadu_si512(top), top1 = _mm512_loadu_si512(top + 16);
    const __m512i bottom0 = _mm512_loadu_si512(bottom), bottom1 = _mm512_loadu_si512(bottom + 16);
    p00 = _mm512_permutex2var_epi32(top0, left, top1);
    p01 = _mm512_permutex2var_epi32(top0, right, top1);
    p10 = _mm512_permutex2var_epi32(bottom0, left, bottom1);
    p11 = _mm512_permutex2var_epi32(bottom0, right, bottom1);
    return true;
}

inline __m512d ToSingle(__m512d x) {
    return _mm512_cvtps_pd(_mm512_cvtpd_ps(x));
}

inline __m512i Channel(__m512i p, int c) {
    return _mm512_and_si512(_mm512_srli_epi32(p, static_cast<unsigned>(8 * c)),
                            _mm512_set1_epi32(0xFF));
}

// Adding 1.5 * 2^98 to a sum in [0, 255 * 2^46] rounds it to a multiple of 2^46 with ties to
// even, and the low 32 bits of the result are that multiple's index: round(sum * 2^-46).
constexpr double kRoundAt46 = 1.5 * 316912650057057350374175801344.0;  // 1.5 * 2^98

// round(top + (bottom - top) * fy) for eight lanes, scaled as in BlendChannel, in the low 32 bits
// of each 64-bit lane. top, bottom and fy lie in [0, 1] (scaled), so the sum stays between top
// and bottom and the value needs no clamping.
inline __m512i Blend8(__m256i top, __m256i bottom, __m512d fy) {
    const __m512d t = _mm512_mul_pd(_mm512_cvtepi32_pd(top), _mm512_set1_pd(kTwo23));
    const __m512d p = _mm512_mul_pd(_mm512_cvtepi32_pd(_mm256_sub_epi32(bottom, top)), fy);
    return _mm512_castpd_si512(_mm512_add_pd(_mm512_add_pd(t, p), _mm512_set1_pd(kRoundAt46)));
}

void BilinearRun(const RowJob& job, const Tile& t, std::int32_t k0, std::int32_t k1,
                 std::int32_t r) {
    const RowSetup s = SetupRow(job, t, r);
    const __m512i width = _mm512_set1_epi32(job.width);
    const __m512i widthM1 = _mm512_set1_epi32(job.width - 1);
    const __m512i heightM1 = _mm512_set1_epi32(job.height - 1);
    const __m512i one = _mm512_set1_epi32(1);
    const __m512d half = _mm512_set1_pd(0.5);
    const __m512d two23 = _mm512_set1_pd(kTwo23);
    const __m512i background = _mm512_set1_epi32(static_cast<int>(job.background));
    const int* src = reinterpret_cast<const int*>(job.src);
    std::uint8_t* d = DestinationPixel(job, t.i0, t.j0 + r);
    std::int32_t k = k0;
    for (; k + 16 <= k1; k += 16) {
        __m256i sxh[2], syh[2], fxh[2], fyh[2];
        for (int h = 0; h < 2; ++h) {
            const __m512d uf = ToSingle(U8(s, t.colC + k + 8 * h));
            const __m512d vf = ToSingle(V8(s, t.colS + k + 8 * h));
            sxh[h] = _mm512_cvtpd_epi32(_mm512_sub_pd(uf, half));
            syh[h] = _mm512_cvtpd_epi32(_mm512_sub_pd(vf, half));
            fxh[h] = _mm512_cvtpd_epi32(
                _mm512_mul_pd(_mm512_sub_pd(uf, _mm512_cvtepi32_pd(sxh[h])), two23));
            fyh[h] = _mm512_cvtpd_epi32(
                _mm512_mul_pd(_mm512_sub_pd(vf, _mm512_cvtepi32_pd(syh[h])), two23));
        }
        const __m512i sx = Join(sxh[0], sxh[1]);
        const __m512i sy = Join(syh[0], syh[1]);
        const __m512i fxi = Join(fxh[0], fxh[1]);
        const __mmask16 inside = InRange16(sx, widthM1) & InRange16(sy, heightM1);
        if (inside == 0) {
            _mm512_mask_storeu_epi8(d + 4 * k, kColourBytes, background);
            continue;
        }
        const __m512i i00 = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(sy, one), width),
                                             _mm512_sub_epi32(sx, one));
        const __m512i i10 = _mm512_add_epi32(i00, width);
        const __m512i zero = _mm512_setzero_si512();
        // Each 64-bit gather fetches a pixel and its right neighbour.
        __m512i p00, p01, p10, p11;
        if (!QuadsFromWindow(job, i00, inside, p00, p01, p10, p11)) {
            Pairs(i00, inside, src, p00, p01);
            Pairs(i10, inside, src, p10, p11);
        }
        const __m512d fy[2] = {_mm512_cvtepi32_pd(fyh[0]), _mm512_cvtepi32_pd(fyh[1])};
        __m512i packed[2] = {zero, zero};
        for (int c = 0; c < 3; ++c) {
            const __m512i a = Channel(p00, c), b = Channel(p01, c);
            const __m512i e = Channel(p10, c), f = Channel(p11, c);
            const __m512i top = _mm512_add_epi32(_mm512_slli_epi32(a, 23),
                                                 _mm512_mullo_epi32(_mm512_sub_epi32(b, a), fxi));
            const __m512i bottom = _mm512_add_epi32(
                _mm512_slli_epi32(e, 23), _mm512_mullo_epi32(_mm512_sub_epi32(f, e), fxi));
            const unsigned shift = static_cast<unsigned>(8 * c);
            packed[0] = _mm512_or_si512(
                packed[0], _mm512_slli_epi64(Blend8(_mm512_castsi512_si256(top),
                                                    _mm512_castsi512_si256(bottom), fy[0]),
                                             shift));
            packed[1] = _mm512_or_si512(
                packed[1], _mm512_slli_epi64(Blend8(_mm512_extracti64x4_epi64(top, 1),
                                                    _mm512_extracti64x4_epi64(bottom, 1), fy[1]),
                                             shift));
        }
        // Each channel's low 32 bits hold its value (0..255); the bits above are cut off here.
        const __m512i colour =
            Join(_mm512_cvtepi64_epi32(packed[0]), _mm512_cvtepi64_epi32(packed[1]));
        _mm512_mask_storeu_epi8(d + 4 * k, kColourBytes,
                                _mm512_mask_blend_epi32(inside, background, colour));
    }
    ScalarTail(job, t, k, k1, r, true);
}

}  // namespace

Kernels Avx512Kernels() {
    return VectorKernels<Avx512>::With(BilinearRun);
}

}  // namespace Veltrane_B1::rotate_detail

#pragma GCC pop_options
