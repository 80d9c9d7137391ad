#include "mathematics/cylinder_curve.h"

#include <algorithm>
#include <cmath>

namespace {

// The 16-point Gauss-Legendre rule on [-1, 1]: the positive nodes and their
// weights (the rule is symmetric), to 20 digits.
const double kNodes[8] = {0.095012509837637440185, 0.28160355077925891323, 0.45801677765722738634,
                          0.61787624440264374845,  0.7554044083550030339,  0.86563120238783174388,
                          0.94457502307323257608,  0.9894009349916499326};
const double kWeights[8] = {0.18945061045506849629,  0.18260341504492358887, 0.16915651939500253819,
                            0.14959598881657673208,  0.12462897125553387205, 0.09515851168249278481,
                            0.062253523938647892863, 0.027152459411754094852};

// A panel is accepted when one rule and the two halves' rules agree to this
// fraction of the halves' sum (see the header).
const double kPanelTolerance = 1e-12;
// Bisection stops here whatever the estimate says (the integrands below need
// well under 20 levels).
const int kMaxDepth = 50;

// The integrand near a crossing, sqrt(1 + A^2 cos^2 x): smooth on [0, pi/4]
// for every A (its singularities lie at pi/2 + k pi, 1/A off the real axis).
struct directIntegrand {
    double amplitude;
    double operator()(double x) const {
        const double slope = amplitude * std::cos(x);
        return std::sqrt(1 + slope * slope);
    }
};

// Near a top, for A > 1: with A cos x = sinh v the integrand becomes
// cosh^2 v / sqrt(A^2 - sinh^2 v), whose nearest singularity, sinh v = A, lies
// beyond the end of the range (sinh v <= A / sqrt 2) by a third or so of a
// unit for every A: the narrow bend of width 1/A at the top is gone.
struct toppedIntegrand {
    double amplitude;
    double operator()(double v) const {
        // sinh from exp: its cancellation for small v is absolute, about 1e-16,
        // which 1 + sinh^2 = cosh^2 and A^2 - sinh^2 >= A^2 / 2 never notice.
        const double e = std::exp(v), s = 0.5 * (e - 1 / e);
        return (1 + s * s) / std::sqrt((amplitude - s) * (amplitude + s));
    }
};

// Panels are a start and a width: the width of a short range far from 0 then
// keeps its relative precision (see quarterCurveIntegral).
template <typename Integrand> double gaussLegendre16(const Integrand& f, double a, double width) {
    const double half = 0.5 * width, mid = a + half;
    double sum = 0;
    for (int k = 0; k < 8; ++k)
        sum += kWeights[k] * (f(mid - half * kNodes[k]) + f(mid + half * kNodes[k]));
    return sum * half;
}

// Adaptive bisection: depth first on a fixed stack (a popped panel pushes at
// most two, so it never holds more than one panel per level plus one).
template <typename Integrand> double adaptiveIntegral(const Integrand& f, double a, double width) {
    if (!(width > 0)) return 0;
    struct panel {
        double a, width, whole;
        int depth;
    };
    panel stack[kMaxDepth + 2];
    int top = 0;
    stack[top++] = {a, width, gaussLegendre16(f, a, width), 0};
    double total = 0;
    while (top > 0) {
        const panel p = stack[--top];
        const double half = 0.5 * p.width;
        const double left = gaussLegendre16(f, p.a, half);
        const double right = gaussLegendre16(f, p.a + half, half);
        const double halves = left + right;
        if (std::fabs(halves - p.whole) <= kPanelTolerance * halves || p.depth >= kMaxDepth) {
            total += halves;
            continue;
        }
        stack[top++] = {p.a + half, half, right, p.depth + 1};
        stack[top++] = {p.a, half, left, p.depth + 1};
    }
    return total;
}

} // namespace

double quarterCurveIntegral(double amplitude, double a, double b) {
    if (!(b > a)) return 0;
    const directIntegrand direct{amplitude};
    // Up to A = 1 the bend at the top is wider than a radian and the direct
    // integrand is smooth enough everywhere.
    if (amplitude <= 1) return adaptiveIntegral(direct, a, b - a);
    const double quarter = 0.5 * kHalfPi;
    double sum = 0;
    if (a < quarter) sum += adaptiveIntegral(direct, a, std::min(b, quarter) - a);
    if (b > quarter) {
        // x from a' = max(a, pi/4) to b is v from asinh(q) to asinh(p), with
        // q = A cos b and p = A cos a'. v reaches 28 (A = 1e12), so the
        // difference of the two asinh would lose up to 1e-14 of a short range;
        // asinh p - asinh q = asinh(p sqrt(1 + q^2) - q sqrt(1 + p^2)), whose
        // argument is (p - q)(p + q) / (p sqrt(1 + q^2) + q sqrt(1 + p^2)) and
        // p - q = 2 A sin((a' + b) / 2) sin((b - a') / 2), keeps it whole.
        const double from = std::max(a, quarter);
        const double p = amplitude * std::cos(from);
        if (b >= kHalfPi) {
            // pi/2 in double, 6e-17 short, stands for the top itself, where q = 0.
            sum += adaptiveIntegral(toppedIntegrand{amplitude}, 0, std::asinh(p));
        } else {
            const double q = amplitude * std::cos(b);
            const double difference =
                2 * amplitude * std::sin(0.5 * (from + b)) * std::sin(0.5 * (b - from));
            const double width = std::asinh(difference * (p + q) /
                                            (p * std::sqrt(1 + q * q) + q * std::sqrt(1 + p * p)));
            sum += adaptiveIntegral(toppedIntegrand{amplitude}, std::asinh(q), width);
        }
    }
    return sum;
}

cylinderCurve::cylinderCurve(const vector3d& normal) {
    const double length = std::sqrt(dot(normal, normal));
    const vector3d n = {normal[0] / length, normal[1] / length, normal[2] / length};
    const double horizontal = std::hypot(n[0], n[2]);
    // The crossing where the circle rises: y x n is horizontal and in the
    // plane, and n x (y x n) has y component n_x^2 + n_z^2 > 0. A horizontal
    // plane is the equator itself, where any horizontal direction will do.
    crossing_ =
        horizontal > 0 ? vector3d{n[2] / horizontal, 0, -n[0] / horizontal} : vector3d{1, 0, 0};
    top_ = cross(n, crossing_);
    verticalSine_ = std::fabs(n[1]);
    vertical_ = verticalSine_ < kVerticalNormalY;
    if (vertical_) return;
    amplitude_ = horizontal / verticalSine_;
    quarter_ = quarterCurveIntegral(amplitude_, 0, kHalfPi);
}

double cylinderCurve::angleOf(const vector3d& p) const {
    return std::atan2(dot(p, top_), dot(p, crossing_));
}

vector3d cylinderCurve::pointAt(double psi) const {
    const double c = std::cos(psi), s = std::sin(psi);
    return {c * crossing_[0] + s * top_[0], c * crossing_[1] + s * top_[1],
            c * crossing_[2] + s * top_[2]};
}

double cylinderCurve::sigmaAt(double psiFromCrossing) const {
    if (psiFromCrossing <= 0) return 0;
    if (psiFromCrossing >= kHalfPi) return kHalfPi;
    // tan sigma = |n_y| tan psi, with no division: exact in its relative
    // precision near the crossing, where the curve is steepest.
    return std::atan2(verticalSine_ * std::sin(psiFromCrossing), std::cos(psiFromCrossing));
}

double cylinderCurve::arcLength(double psi0, double psi1) const {
    if (vertical_ || !(psi1 > psi0)) return 0;
    // Quarter q is psi in [q pi/2, (q+1) pi/2]. An even quarter runs from a
    // crossing (sigma 0) to a top (sigma pi/2), an odd one back; sigma is
    // taken from each point's distance in psi to its quarter's crossing.
    auto sigmaIn = [this](long q, double psi) {
        const bool even = q % 2 == 0;
        const double crossing = double(even ? q / 2 : (q + 1) / 2) * kPi;
        return sigmaAt(even ? psi - crossing : crossing - psi);
    };
    auto part = [this](double sigmaA, double sigmaB) {
        return sigmaA < sigmaB ? quarterCurveIntegral(amplitude_, sigmaA, sigmaB)
                               : quarterCurveIntegral(amplitude_, sigmaB, sigmaA);
    };
    const long q0 = long(std::floor(psi0 / kHalfPi));
    const long q1 = long(std::floor(psi1 / kHalfPi));
    if (q0 == q1) return part(sigmaIn(q0, psi0), sigmaIn(q0, psi1));
    auto startSigma = [](long q) { return q % 2 == 0 ? 0.0 : kHalfPi; };
    auto endSigma = [](long q) { return q % 2 == 0 ? kHalfPi : 0.0; };
    return part(sigmaIn(q0, psi0), endSigma(q0)) + double(q1 - q0 - 1) * quarter_ +
           part(startSigma(q1), sigmaIn(q1, psi1));
}
