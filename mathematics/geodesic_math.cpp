#include "mathematics/geodesic_math.h"

#include <cfloat>
#include <cmath>

#include "mathematics/vector3.h"
#include "support/geodome_utilities.h"

std::shared_ptr<float[]> newPentagonArrays(std::initializer_list<float**> fields) {
    std::shared_ptr<float[]> block(new float[5 * fields.size()]());
    float* next = block.get();
    for (float** field : fields) {
        *field = next;
        next += 5;
    }
    return block;
}

// The float overloads of std::sin, std::cos, std::atan and std::sqrt are used
// throughout: the figure and the report are single-precision computations.

namespace {
// The corner spacing and the sample angles are computed with pi in double
// (mathematics/vector3.h) and rounded to float once.
const int kCorners = 5;
// The length used in place of a zero normal; the normal stays zero, so only
// the division is defused.
const float kZeroNormalLength = 0.05f;

int nextCorner(int i) { return i < kCorners - 1 ? i + 1 : 0; }
} // namespace

float pentagonPolarAngle(float height) { return arc_cosine(height); }

bool pentagonAtAPole(float phi) { return std::fabs(std::sin(phi)) < FLT_EPSILON; }

void pentagonCorners(float phi, float longitude, float* longAngles, float* xcoord, float* zcoord) {
    const float s = std::sin(phi);
    for (int i = 0; i < kCorners; ++i) {
        longAngles[i] = float(longitude + (2 * i * kPi) / 5);
        xcoord[i] = std::cos(longAngles[i]) * s;
        zcoord[i] = std::sin(longAngles[i]) * s;
    }
}

void pentagonEdgeNormals(float height, const float* xcoord, const float* zcoord, float* xcross,
                         float* ycross, float* zcross) {
    // corner i x corner temp: perpendicular to both corners and so to the plane
    // through them and the centre, which is the plane of the edge's great circle.
    const float y = height;
    for (int i = 0; i < kCorners; ++i) {
        const int temp = nextCorner(i);
        xcross[i] = y * zcoord[temp] - zcoord[i] * y;
        ycross[i] = zcoord[i] * xcoord[temp] - xcoord[i] * zcoord[temp];
        zcross[i] = xcoord[i] * y - y * xcoord[temp];
    }
}

greatCircleBasis edgeGreatCircle(float xcross, float ycross, float zcross, float xcorner,
                                 float height, float zcorner) {
    greatCircleBasis b;
    b.xa = xcross;
    b.ya = ycross;
    b.za = zcross;
    float norm = std::sqrt(b.xa * b.xa + b.ya * b.ya + b.za * b.za);
    b.normalWasZero = norm == 0.0f;
    if (b.normalWasZero) norm = kZeroNormalLength;
    b.xa /= norm;
    b.ya /= norm;
    b.za /= norm;

    b.xn = xcorner;
    b.yn = height;
    b.zn = zcorner;
    // (unit normal) x N lies in the plane, perpendicular to N, and points from
    // corner i towards the next corner because the normal is corner i x corner i+1.
    b.xn2 = b.ya * b.zn - b.za * b.yn;
    b.yn2 = b.za * b.xn - b.xa * b.zn;
    b.zn2 = b.xa * b.yn - b.ya * b.xn;
    return b;
}

void greatCirclePoint(const greatCircleBasis& b, float step, float rot[3]) {
    const float c = std::cos(step);
    const float s = std::sin(step);
    rot[0] = c * b.xn + s * b.xn2;
    rot[1] = c * b.yn + s * b.yn2;
    rot[2] = c * b.zn + s * b.zn2;
}

float equatorCrossing(const greatCircleBasis& b, float point[3]) {
    // y(step) = cos(step) yn + sin(step) yn2 vanishes at tan(step) = -yn / yn2.
    // When both are zero the corner is on the equator and so is the whole
    // circle (a pentagon on the equator): 0/0 would give a NaN point, so the
    // corner itself, at step 0, is taken as the crossing.
    float angle = 0.0f;
    if (b.yn != 0.0f || b.yn2 != 0.0f) {
        const float quotient = -b.yn / b.yn2;
        angle = std::atan(quotient);
    }
    greatCirclePoint(b, angle, point);
    return angle;
}

float cylinderHeight(float xcross, float ycross, float zcross, float step) {
    // The plane xcross X + ycross Y + zcross Z = 0 solved for Y at
    // (X, Z) = (sin step, cos step).
    return (-zcross * std::cos(step) - std::sin(step) * xcross) / ycross;
}

void cylinderPoint(float xcross, float ycross, float zcross, float step, float point[3]) {
    point[0] = std::sin(step);
    point[1] = cylinderHeight(xcross, ycross, zcross, step);
    point[2] = std::cos(step);
}

namespace {
// Float on purpose: the report's longitudes are single-precision sums.
const float kFloatHalfPi = 1.5707964f;     // pi/2 rounded to float
const float kFloatThreeHalfPi = 4.712389f; // 3 pi/2 rounded to float

// One corner's longitude taken on its own, by the same rule. The paired rule
// reaches a pentagon whose z at index i is non-zero only when the other
// pentagon's z there is non-zero too; when exactly one of the two is zero,
// the other's longitude would be left unset, and takes this value instead,
// so no report ever shows memory that was never written.
float soloLongitude(float x, float z) {
    if (z == 0.0f) return kFloatHalfPi;
    const float addValue = z > 0.0f ? kFloatThreeHalfPi : kFloatHalfPi;
    const float quotient = x / z;
    return std::atan(quotient) + addValue;
}
} // namespace

void reportLongitudes(const float* xcoord1, const float* zcoord1, const float* xcoord2,
                      const float* zcoord2, float* lon1, float* lon2) {
    for (int i = 0; i < kCorners; ++i) {
        const float x1 = xcoord1[i], z1 = zcoord1[i];
        const float x2 = xcoord2[i], z2 = zcoord2[i];
        if (z1 == 0.0f || z2 == 0.0f) {
            lon1[i] = soloLongitude(x1, z1);
            lon2[i] = soloLongitude(x2, z2);
            continue;
        }
        // One offset serves both pentagons; when their z signs differ the
        // negative test, coming second, wins. 0 survives only if both z are
        // NaN, and then both longitudes are NaN anyway.
        float addValue = 0.0f;
        if (z1 > 0.0f || z2 > 0.0f) addValue = kFloatThreeHalfPi;
        if (z1 < 0.0f || z2 < 0.0f) addValue = kFloatHalfPi;
        const float quotient2 = x2 / z2;
        lon2[i] = std::atan(quotient2) + addValue;
        const float quotient1 = x1 / z1;
        lon1[i] = std::atan(quotient1) + addValue;
    }
}

float sampleAngle(int j, int res) { return float((2 * j * kPi) / res); }
