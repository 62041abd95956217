// AVX2 kernels: eight destination pixels per vector, the source fetched from windows of plain
// loads where the pixels of a vector lie close together, else with gathers.
#include <immintrin.h>

#include <algorithm>

#include "effects/rotate_kernels.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace Veltrane_B1::rotate_detail {
namespace {

struct RowSetup {
    __m256d rowS, rowC, cx, cyB;
};

inline RowSetup SetupRow(const RowJob& job, const Tile& t, std::int32_t r) {
    return {_mm256_set1_pd(t.rowS[r]), _mm256_set1_pd(t.rowC[r]), _mm256_set1_pd(job.cx),
            _mm256_set1_pd(job.cyB)};
}

inline __m256i Join(__m128i lo, __m128i hi) {
    return _mm256_inserti128_si256(_mm256_zextsi128_si256(lo), hi, 1);
}

// u = ((x - cx) * C - (y - cyB) * S) + cx and v = ((y - cyB) * C + (x - cx) * S) + cyB for
// four columns.
inline __m256d U4(const RowSetup& r, const double* colC) {
    return _mm256_add_pd(_mm256_sub_pd(_mm256_loadu_pd(colC), r.rowS), r.cx);
}
inline __m256d V4(const RowSetup& r, const double* colS) {
    return _mm256_add_pd(_mm256_add_pd(r.rowC, _mm256_loadu_pd(colS)), r.cyB);
}

// Lanes with 1 <= s <= limit (limit >= 0), as all-ones.
inline __m256i InRange8(__m256i s, __m256i limit) {
    const __m256i sm1 = _mm256_sub_epi32(s, _mm256_set1_epi32(1));
    const __m256i inside = _mm256_cmpgt_epi32(_mm256_xor_si256(limit, _mm256_set1_epi32(INT32_MIN)),
                                              _mm256_xor_si256(sm1, _mm256_set1_epi32(INT32_MIN)));
    return inside;
}

// Writes bytes 0..2 of eight pixels, keeping byte 3.
inline void Store8(std::uint8_t* d, __m256i colour) {
    const __m256i old = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    const __m256i keep = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i out =
        _mm256_or_si256(_mm256_and_si256(old, keep), _mm256_andnot_si256(keep, colour));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), out);
}

// The pixels at window[offset] for offsets 0..15.
inline __m256i PickFromWindow(const int* window, __m256i offsets) {
    const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window));
    const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window + 8));
    // permutevar8x32 uses the low three bits; offsets 8..15 take the upper half.
    return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(lo, offsets),
                              _mm256_permutevar8x32_epi32(hi, offsets),
                              _mm256_cmpgt_epi32(offsets, _mm256_set1_epi32(7)));
}

inline std::int32_t Lane0(__m256i v) {
    return _mm256_cvtsi256_si32(v);
}

// The model's sx = round((colC - rowS) + cx) and sy = round((rowC + colS) + cyB) for eight
// pixels, lanes 0..3 from the first vector of each pair, lanes 4..7 from the second.
struct Positions {
    __m256i sx, sy;
    Positions(const RowSetup& s, __m256d colC0, __m256d colC1, __m256d rowS0, __m256d rowS1,
              __m256d rowC0, __m256d rowC1, __m256d colS0, __m256d colS1)
        : sx(Join(_mm256_cvtpd_epi32(_mm256_add_pd(_mm256_sub_pd(colC0, rowS0), s.cx)),
                  _mm256_cvtpd_epi32(_mm256_add_pd(_mm256_sub_pd(colC1, rowS1), s.cx)))),
          sy(Join(_mm256_cvtpd_epi32(_mm256_add_pd(_mm256_add_pd(rowC0, colS0), s.cyB)),
                  _mm256_cvtpd_epi32(_mm256_add_pd(_mm256_add_pd(rowC1, colS1), s.cyB)))) {}
};

// The positions move monotonically with x and y, so the lanes that hold a vector's smallest sx
// and smallest sy follow from the signs of S and C: these are those lanes, each broadcast as an
// index for a permute.
struct Corner {
    __m256i left, bottom;
    Corner(int leftLane, int bottomLane)
        : left(_mm256_set1_epi32(leftLane)), bottom(_mm256_set1_epi32(bottomLane)) {}
};

// Eight pixels along a run cover at most 8 source columns (the step along the run is below 1
// except at the exact angles), and near 0 degrees at most two source rows while 7 |S| < 1. Where a
// vector's pixels lie in such a window, inside the image, two plain loads and permutes replace
// the gather: each lane takes the pixel at its own (sx, sy) within the window. The window's corner
// comes from the corner lanes, and every lane is checked against it. False when a lane is
// outside the window or the window leaves the image.
inline bool FromWindow(const RowJob& job, const Positions& p, const Corner& corner,
                       __m256i& colour) {
    const __m256i left = _mm256_permutevar8x32_epi32(p.sx, corner.left);
    const __m256i bottom = _mm256_permutevar8x32_epi32(p.sy, corner.bottom);
    const std::int64_t x = Lane0(left), y = Lane0(bottom);
    if (x < 1 || x + 7 > job.width || y < 1 || y + 1 > job.height) return false;
    const __m256i dx = _mm256_sub_epi32(p.sx, left);
    const __m256i dy = _mm256_sub_epi32(p.sy, bottom);
    // 0 <= dx < 8 and 0 <= dy < 2: no bit set above those.
    const __m256i outside = _mm256_or_si256(_mm256_and_si256(dx, _mm256_set1_epi32(~7)),
                                            _mm256_and_si256(dy, _mm256_set1_epi32(~1)));
    if (!_mm256_testz_si256(outside, outside)) return false;
    const std::int64_t first = (y - 1) * job.width + (x - 1);
    const int* row = reinterpret_cast<const int*>(job.src) + first;
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + job.width));
    // The second row where dy is 1: its bit 0 moved to the sign bit picks it.
    colour = _mm256_castps_si256(
        _mm256_blendv_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(low, dx)),
                         _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(high, dx)),
                         _mm256_castsi256_ps(_mm256_slli_epi32(dy, 31))));
    return true;
}

// The source pixels of eight lanes, the background where a position is outside the image: from
// a window when kWindow and the lanes fit one, else from a gather.
template <bool kWindow>
inline __m256i Fetch(const RowJob& job, const Positions& p, const Corner& corner) {
    __m256i colour;
    if (kWindow && FromWindow(job, p, corner, colour)) return colour;
    const __m256i background = _mm256_set1_epi32(static_cast<int>(job.background));
    const __m256i inside = _mm256_and_si256(InRange8(p.sx, _mm256_set1_epi32(job.width)),
                                            InRange8(p.sy, _mm256_set1_epi32(job.height)));
    if (_mm256_testz_si256(inside, inside)) return background;
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i index = _mm256_add_epi32(
        _mm256_mullo_epi32(_mm256_sub_epi32(p.sy, one), _mm256_set1_epi32(job.width)),
        _mm256_sub_epi32(p.sx, one));
    return _mm256_mask_i32gather_epi32(background, reinterpret_cast<const int*>(job.src), index,
                                       inside, 4);
}

template <bool kWindow>
void NearestRun(const RowJob& job, const Tile& t, std::int32_t k0, std::int32_t k1,
                std::int32_t r) {
    const RowSetup s = SetupRow(job, t, r);
    const Corner corner(job.C >= 0 ? 0 : 7, job.S >= 0 ? 0 : 7);
    std::uint8_t* d = DestinationPixel(job, t.i0, t.j0 + r);
    std::int32_t k = k0;
    for (; k + 8 <= k1; k += 8) {
        const Positions p(s, _mm256_loadu_pd(t.colC + k), _mm256_loadu_pd(t.colC + k + 4), s.rowS,
                          s.rowS, s.rowC, s.rowC, _mm256_loadu_pd(t.colS + k),
                          _mm256_loadu_pd(t.colS + k + 4));
        Store8(d + 4 * k, Fetch<kWindow>(job, p, corner));
    }
    ScalarTail(job, t, k, k1, r, false);
}

// Turns eight vectors of eight 32-bit lanes about their diagonal: lane e of vector m goes to lane
// m of vector e.
inline void Transpose8(__m256i* v) {
    __m256i t[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_epi32(v[i], v[i + 1]);
        t[i + 1] = _mm256_unpackhi_epi32(v[i], v[i + 1]);
    }
    for (int i = 0; i < 8; i += 4) {
        v[i] = _mm256_unpacklo_epi64(t[i], t[i + 2]);
        v[i + 1] = _mm256_unpackhi_epi64(t[i], t[i + 2]);
        v[i + 2] = _mm256_unpacklo_epi64(t[i + 1], t[i + 3]);
        v[i + 3] = _mm256_unpackhi_epi64(t[i + 1], t[i + 3]);
    }
    for (int m = 0; m < 4; ++m) {
        t[m] = _mm256_permute2x128_si256(v[m], v[4 + m], 0x20);
        t[4 + m] = _mm256_permute2x128_si256(v[m], v[4 + m], 0x31);
    }
    for (int m = 0; m < 8; ++m) v[m] = t[m];
}

// Near 90 and 270 degrees a destination column runs along a source row: each of the square's
// eight columns is one vector of eight rows, fetched from a window like a row near 0 degrees, and
// the square is turned in registers before it is stored row by row.
void NearestColumns(const RowJob& job, const Tile& t, std::int32_t k, std::int32_t r) {
    const RowSetup s = SetupRow(job, t, r);
    const __m256d rowS0 = _mm256_loadu_pd(t.rowS + r), rowS1 = _mm256_loadu_pd(t.rowS + r + 4);
    const __m256d rowC0 = _mm256_loadu_pd(t.rowC + r), rowC1 = _mm256_loadu_pd(t.rowC + r + 4);
    // Down a column sx falls where S > 0 and sy rises where C > 0.
    const Corner corner(job.S <= 0 ? 0 : 7, job.C >= 0 ? 0 : 7);
    __m256i square[8];
    for (int m = 0; m < 8; ++m) {
        const __m256d colC = _mm256_set1_pd(t.colC[k + m]), colS = _mm256_set1_pd(t.colS[k + m]);
        square[m] = Fetch<true>(
            job, Positions(s, colC, colC, rowS0, rowS1, rowC0, rowC1, colS, colS), corner);
    }
    Transpose8(square);
    std::uint8_t* d = DestinationPixel(job, t.i0 + k, t.j0 + r);
    for (int e = 0; e < 8; ++e, d += 4 * static_cast<std::int64_t>(job.width)) Store8(d, square[e]);
}

void Background(const RowJob& job, std::int32_t i, std::int32_t n, std::int32_t j) {
    const __m256i background = _mm256_set1_epi32(static_cast<int>(job.background));
    std::uint8_t* d = DestinationPixel(job, i, j);
    std::int32_t k = 0;
    for (; k + 8 <= n; k += 8) Store8(d + 4 * k, background);
    BackgroundTail(job, i + k, n - k, j);
}

// The exact map without swap: a run of one source row, forwards or backwards.
void ExactRun(const RowJob& job, std::int32_t i, std::int32_t n, std::int32_t j) {
    const ExactMap& m = job.map;
    const int* from = reinterpret_cast<const int*>(job.src) + (m.ys * j + m.oj) * job.width +
                      (m.xs * i + m.oi);  // the source of column i
    std::uint8_t* d = DestinationPixel(job, i, j);
    std::int32_t k = 0;
    if (m.xs > 0) {
        for (; k + 8 <= n; k += 8)
            Store8(d + 4 * k, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + k)));
    } else {
        // Column i + k reads from - k: eight columns read the eight pixels ending there.
        const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
        for (; k + 8 <= n; k += 8) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from - k - 7));
            Store8(d + 4 * k, _mm256_permutevar8x32_epi32(v, reverse));
        }
    }
    ExactTail(job, i + k, n - k, j);
}

// The exact map with swap: destination column i + m reads source row ys * (i + m) + oj, whose
// pixels for rows j..j + 7 lie side by side (in reverse order when xs < 0).
void ExactSquare(const RowJob& job, std::int32_t i, std::int32_t j) {
    const ExactMap& m = job.map;
    const int* src = reinterpret_cast<const int*>(job.src);
    const std::int64_t first = m.xs > 0 ? j + m.oi : m.oi - j - 7;
    __m256i square[8];
    for (int k = 0; k < 8; ++k) {
        square[k] = _mm256_loadu_si256(
            reinterpret_cast<const __m256i*>(src + (m.ys * (i + k) + m.oj) * job.width + first));
    }
    Transpose8(square);
    std::uint8_t* d = DestinationPixel(job, i, j);
    const std::int64_t stride = 4 * static_cast<std::int64_t>(job.width);
    for (int e = 0; e < 8; ++e) Store8(d + stride * (m.xs > 0 ? e : 7 - e), square[e]);
}

// Near 0 and 180 degrees the eight lanes' pixel pairs lie within 16 neighbouring pixels of one
// row (and the same of the row below). Then four plain loads and permutes replace the four
// gathers: each lane takes the pixels at its own offsets in that window. False otherwise, or
// when the window would leave the source image. Lanes outside keep whatever the permutes give.
inline bool QuadsFromWindow(const RowJob& job, __m256i i00, __m256i inside, __m256i& p00,
                            __m256i& p01, __m256i& p10, __m256i& p11) {
    if (_mm256_movemask_ps(_mm256_castsi256_ps(inside)) != 0xFF) return false;
    const std::int32_t first = _mm256_cvtsi256_si32(i00);
    const std::int32_t last = _mm256_extract_epi32(i00, 7);
    const std::int32_t low = first < last ? first : last;
    if ((first < last ? std::int64_t{last} - first : std::int64_t{first} - last) > 14) return false;
    if (low < 0 || std::int64_t{low} + job.width + 15 > job.lastPixel) return false;
    const __m256i left = _mm256_sub_epi32(i00, _mm256_set1_epi32(low));
    const __m256i right = _mm256_add_epi32(left, _mm256_set1_epi32(1));
    // Every lane lies between lanes 0 and 7 when the indices run one way; checked, not assumed.
    const __m256i fourteen = _mm256_set1_epi32(14);
    if (!_mm256_testz_si256(_mm256_or_si256(_mm256_cmpgt_epi32(left, fourteen),
                                            _mm256_cmpgt_epi32(_mm256_setzero_si256(), left)),
                            _mm256_set1_epi32(-1)))
        return false;
    const int* top = reinterpret_cast<const int*>(job.src) + low;
    p00 = PickFromWindow(top, left);
    p01 = PickFromWindow(top, right);
    p10 = PickFromWindow(top + job.width, left);
    p11 = PickFromWindow(top + job.width, right);
    return true;
}

// Rounds a double vector to single and back: the model's uf and vf.
inline __m256d ToSingle(__m256d x) {
    return _mm256_cvtps_pd(_mm256_cvtpd_ps(x));
}

// Channel c (0..2) of eight pixels as 32-bit integers.
inline __m256i Channel(__m256i p, int c) {
    return _mm256_and_si256(_mm256_srlv_epi32(p, _mm256_set1_epi32(8 * c)),
                            _mm256_set1_epi32(0xFF));
}

// round(top + (bottom - top) * fy) for four lanes, scaled as in BlendChannel.
inline __m128i Blend4(__m128i top, __m128i bottom, __m128i fyi) {
    const __m256d t = _mm256_mul_pd(_mm256_cvtepi32_pd(top), _mm256_set1_pd(kTwo23));
    const __m256d p =
        _mm256_mul_pd(_mm256_cvtepi32_pd(_mm_sub_epi32(bottom, top)), _mm256_cvtepi32_pd(fyi));
    return _mm256_cvtpd_epi32(_mm256_mul_pd(_mm256_add_pd(t, p), _mm256_set1_pd(kTwoMinus46)));
}

void BilinearRun(const RowJob& job, const Tile& t, std::int32_t k0, std::int32_t k1,
                 std::int32_t r) {
    const RowSetup s = SetupRow(job, t, r);
    const __m256i width = _mm256_set1_epi32(job.width);
    const __m256i widthM1 = _mm256_set1_epi32(job.width - 1);
    const __m256i heightM1 = _mm256_set1_epi32(job.height - 1);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d two23 = _mm256_set1_pd(kTwo23);
    const __m256i background = _mm256_set1_epi32(static_cast<int>(job.background));
    const int* src = reinterpret_cast<const int*>(job.src);
    std::uint8_t* d = DestinationPixel(job, t.i0, t.j0 + r);
    std::int32_t k = k0;
    for (; k + 8 <= k1; k += 8) {
        __m128i sxh[2], syh[2], fxh[2], fyh[2];
        for (int h = 0; h < 2; ++h) {
            const __m256d uf = ToSingle(U4(s, t.colC + k + 4 * h));
            const __m256d vf = ToSingle(V4(s, t.colS + k + 4 * h));
            sxh[h] = _mm256_cvtpd_epi32(_mm256_sub_pd(uf, half));
            syh[h] = _mm256_cvtpd_epi32(_mm256_sub_pd(vf, half));
            fxh[h] = _mm256_cvtpd_epi32(
                _mm256_mul_pd(_mm256_sub_pd(uf, _mm256_cvtepi32_pd(sxh[h])), two23));
            fyh[h] = _mm256_cvtpd_epi32(
                _mm256_mul_pd(_mm256_sub_pd(vf, _mm256_cvtepi32_pd(syh[h])), two23));
        }
        const __m256i sx = Join(sxh[0], sxh[1]);
        const __m256i sy = Join(syh[0], syh[1]);
        const __m256i fxi = Join(fxh[0], fxh[1]);
        const __m256i inside = _mm256_and_si256(InRange8(sx, widthM1), InRange8(sy, heightM1));
        if (_mm256_testz_si256(inside, inside)) {
            Store8(d + 4 * k, background);
            continue;
        }
        const __m256i i00 = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(sy, one), width),
                                             _mm256_sub_epi32(sx, one));
        const __m256i i10 = _mm256_add_epi32(i00, width);
        const __m256i zero = _mm256_setzero_si256();
        __m256i p00, p01, p10, p11;
        if (!QuadsFromWindow(job, i00, inside, p00, p01, p10, p11)) {
            p00 = _mm256_mask_i32gather_epi32(zero, src, i00, inside, 4);
            p01 = _mm256_mask_i32gather_epi32(zero, src + 1, i00, inside, 4);
            p10 = _mm256_mask_i32gather_epi32(zero, src, i10, inside, 4);
            p11 = _mm256_mask_i32gather_epi32(zero, src + 1, i10, inside, 4);
        }
        __m256i colour = zero;
        for (int c = 0; c < 3; ++c) {
            const __m256i a = Channel(p00, c), b = Channel(p01, c);
            const __m256i e = Channel(p10, c), f = Channel(p11, c);
            const __m256i top = _mm256_add_epi32(_mm256_slli_epi32(a, 23),
                                                 _mm256_mullo_epi32(_mm256_sub_epi32(b, a), fxi));
            const __m256i bottom = _mm256_add_epi32(
                _mm256_slli_epi32(e, 23), _mm256_mullo_epi32(_mm256_sub_epi32(f, e), fxi));
            __m256i value =
                Join(Blend4(_mm256_castsi256_si128(top), _mm256_castsi256_si128(bottom), fyh[0]),
                     Blend4(_mm256_extracti128_si256(top, 1), _mm256_extracti128_si256(bottom, 1),
                            fyh[1]));
            value = _mm256_max_epi32(_mm256_min_epi32(value, _mm256_set1_epi32(255)), zero);
            colour = _mm256_or_si256(colour, _mm256_sllv_epi32(value, _mm256_set1_epi32(8 * c)));
        }
        Store8(d + 4 * k, _mm256_blendv_epi8(background, colour, inside));
    }
    ScalarTail(job, t, k, k1, r, true);
}

}  // namespace

Kernels Avx2Kernels() {
    return {8,           NearestRun<false>, NearestRun<true>, NearestColumns,
            BilinearRun, Background,        ExactRun,         ExactSquare};
}

}  // namespace Veltrane_B1::rotate_detail

#pragma GCC pop_options
