// The preview's cosine and sine, the same in every build: fdlibm's argument reduction by pi / 2
// and its polynomials, in plain double arithmetic.
#include <bit>
#include <cmath>
#include <cstdint>

#include "dialog/picture_transform.h"

namespace Veltrane_B2 {
namespace {

// Minimax polynomials for sin and cos on [-pi/4, pi/4] (the classic fdlibm coefficients).
constexpr double kSin[] = {-1.66666666666666324348e-01, 8.33333333332248946124e-03,
                           -1.98412698298579493134e-04, 2.75573137070700676789e-06,
                           -2.50507602534068634195e-08, 1.58969099521155010221e-10};
constexpr double kCos[] = {4.16666666666666019037e-02, -1.38888888888741095749e-03,
                           2.48015872894767294178e-05, -2.75573143513906633035e-07,
                           2.08757232129817482790e-09, -1.13596475577881948265e-11};

// c[first] + z * (c[first + 1] + z * (... + z * c[5])), innermost term first, as written out.
double Polynomial(double z, const double (&c)[6], int first) {
    double r = c[5];
    for (int i = 4; i >= first; --i) r = c[i] + z * r;
    return r;
}

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
    const double r = Polynomial(z, kSin, 1);
    return x - ((z * (0.5 * tail - v * r) - tail) - v * kSin[0]);
}

// cos(x + tail) for |x| <= pi/4.
double KernelCos(double x, double tail) {
    const double ax = std::fabs(x);
    if (ax < 0x1p-27) return 1.0;
    const double z = x * x;
    const double r = z * Polynomial(z, kCos, 0);
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

}  // namespace Veltrane_B2
