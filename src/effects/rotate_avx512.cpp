// AVX-512 kernels: sixteen destination pixels per step, masked gathers, and byte-masked stores
// that write bytes 0..2 of each pixel only.
// GCC 12 warns about the deliberately undefined upper halves inside its own AVX-512 headers
// (GCC bug 105593); the warning is off for this file only.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>

#include "effects/rotate_kernels.h"

#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512dq,avx512vl")

namespace Veltrane_B1::rotate_detail {
namespace {

constexpr __mmask64 kColourBytes = 0x7777777777777777ull;

struct RowSetup {
    __m512d rowS, rowC, cx, cyB;
};

inline RowSetup SetupRow(const RowJob& job, std::int32_t j) {
    const double dy = static_cast<double>(j + 1) - job.cyB;
    return {_mm512_set1_pd(dy * job.S), _mm512_set1_pd(dy * job.C), _mm512_set1_pd(job.cx),
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

// Prefetches the source of four of sixteen lanes kPrefetchRows rows further down: enough to
// bring in every cache line a row will gather, as the rows before it have fetched the rest.
inline void PrefetchAhead(const RowJob& job, __m512i index) {
    const __m512i ahead = _mm512_min_epi32(
        _mm512_max_epi32(_mm512_add_epi32(index, _mm512_set1_epi32(job.prefetchOffset)),
                         _mm512_setzero_si512()),
        _mm512_set1_epi32(job.lastPixel));
    alignas(64) std::int32_t lanes[16];
    _mm512_store_si512(lanes, ahead);
    for (int lane = 0; lane < 16; lane += 4)
        _mm_prefetch(
            reinterpret_cast<const char*>(job.src) + 4 * static_cast<std::int64_t>(lanes[lane]),
            _MM_HINT_T0);
}

// Near 0 and 180 degrees the sixteen lanes read at most two runs of sixteen neighbouring source
// pixels, ascending or descending. Then two plain loads replace the gather: each lane still takes
// the pixel at its own index, checked lane by lane. False when the lanes are not such runs or a
// run's load would leave the source image.
inline bool FromRuns(const RowJob& job, __m512i index, __mmask16 inside, __m512i background,
                     __m512i& colour) {
    const __m512i up = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m512i down = _mm512_setr_epi32(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    const std::int32_t first = _mm_cvtsi128_si32(_mm512_castsi512_si128(index));
    const std::int32_t last = _mm_extract_epi32(_mm512_extracti32x4_epi32(index, 3), 3);
    const bool ascending = first <= last;
    // The pixel index of element 0 of each run's load.
    const std::int64_t a = ascending ? std::int64_t{first} : std::int64_t{first} - 15;
    const std::int64_t b = ascending ? std::int64_t{last} - 15 : std::int64_t{last};
    const __m512i offsets = ascending ? up : down;
    const __mmask16 inA =
        inside & _mm512_cmpeq_epi32_mask(
                     index, _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(a)), offsets));
    const __mmask16 inB =
        inside & ~inA &
        _mm512_cmpeq_epi32_mask(index,
                                _mm512_add_epi32(_mm512_set1_epi32(static_cast<int>(b)), offsets));
    if ((inA | inB) != inside) return false;
    auto within = [&](std::int64_t start) { return start >= 0 && start + 15 <= job.lastPixel; };
    if ((inA != 0 && !within(a)) || (inB != 0 && !within(b))) return false;
    auto run = [&](std::int64_t start) {
        const __m512i pixels = _mm512_loadu_si512(job.src + 4 * start);
        return ascending ? pixels : _mm512_permutexvar_epi32(down, pixels);
    };
    colour = background;
    if (inA != 0) colour = _mm512_mask_mov_epi32(colour, inA, run(a));
    if (inB != 0) colour = _mm512_mask_mov_epi32(colour, inB, run(b));
    return true;
}

void NearestRow(const RowJob& job, const double* colC, const double* colS, std::int32_t i0,
                std::int32_t n, std::int32_t j) {
    const RowSetup r = SetupRow(job, j);
    const __m512i width = _mm512_set1_epi32(job.width);
    const __m512i height = _mm512_set1_epi32(job.height);
    const __m512i one = _mm512_set1_epi32(1);
    const __m512i background = _mm512_set1_epi32(static_cast<int>(job.background));
    std::uint8_t* d = job.dst + (static_cast<std::int64_t>(j) * job.width + i0) * 4;
    std::int32_t k = 0;
    for (; k + 16 <= n; k += 16) {
        const __m512i sx =
            Join(_mm512_cvtpd_epi32(U8(r, colC + k)), _mm512_cvtpd_epi32(U8(r, colC + k + 8)));
        const __m512i sy =
            Join(_mm512_cvtpd_epi32(V8(r, colS + k)), _mm512_cvtpd_epi32(V8(r, colS + k + 8)));
        const __mmask16 inside = InRange16(sx, width) & InRange16(sy, height);
        const __m512i index = _mm512_add_epi32(_mm512_mullo_epi32(_mm512_sub_epi32(sy, one), width),
                                               _mm512_sub_epi32(sx, one));
        PrefetchAhead(job, index);
        __m512i colour;
        if (!FromRuns(job, index, inside, background, colour))
            colour = _mm512_mask_i32gather_epi32(background, inside, index, job.src, 4);
        _mm512_mask_storeu_epi8(d + 4 * k, kColourBytes, colour);
    }
    ScalarTail(job, colC, colS, i0, k, n, j, false);
}

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

void BilinearRow(const RowJob& job, const double* colC, const double* colS, std::int32_t i0,
                 std::int32_t n, std::int32_t j) {
    const RowSetup r = SetupRow(job, j);
    const __m512i width = _mm512_set1_epi32(job.width);
    const __m512i widthM1 = _mm512_set1_epi32(job.width - 1);
    const __m512i heightM1 = _mm512_set1_epi32(job.height - 1);
    const __m512i one = _mm512_set1_epi32(1);
    const __m512d half = _mm512_set1_pd(0.5);
    const __m512d two23 = _mm512_set1_pd(kTwo23);
    const __m512i background = _mm512_set1_epi32(static_cast<int>(job.background));
    const int* src = reinterpret_cast<const int*>(job.src);
    std::uint8_t* d = job.dst + (static_cast<std::int64_t>(j) * job.width + i0) * 4;
    std::int32_t k = 0;
    for (; k + 16 <= n; k += 16) {
        __m256i sxh[2], syh[2], fxh[2], fyh[2];
        for (int h = 0; h < 2; ++h) {
            const __m512d uf = ToSingle(U8(r, colC + k + 8 * h));
            const __m512d vf = ToSingle(V8(r, colS + k + 8 * h));
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
        PrefetchAhead(job, i00);
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
    ScalarTail(job, colC, colS, i0, k, n, j, true);
}

}  // namespace

RowKernel Avx512Kernel(bool bilinear) {
    return bilinear ? BilinearRow : NearestRow;
}

}  // namespace Veltrane_B1::rotate_detail

#pragma GCC pop_options
