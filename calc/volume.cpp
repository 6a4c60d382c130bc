#include "calc/volume.h"

#include "calc/numeric_text.h"

#include <cmath>

namespace lanqi {

namespace {

// Per-piece volume formulas, each evaluated in the order the standard's
// tables were computed with; the order decides the rare halfway results.
double formulaA(double d, double l) {
    double s = 0.5 * l + d;
    return s * s * (0.8 * l) / 10000;
}

double formulaB(double d, double l) {
    double s = (0.45 * l + d) + 0.2;
    return s * s * (0.7854 * l) / 10000;
}

double formulaC(double d, double l) {
    double t = (14 - l) * (14 - l) * (0.000125 * l) * (d - 10);
    double s = 0.005 * l * l + (0.5 * l + d) + t;
    return s * s * (0.7854 * l) / 10000;
}

} // namespace

std::string CaiJiJiSuan(std::string_view jingji, std::string_view jianshu,
                        std::string_view caichang) {
    double d = leadingNumber(jingji);
    double n = leadingNumber(jianshu);
    double l = leadingNumber(caichang);

    int decimals = d <= 7 ? 4 : 3;
    double perPiece;
    if (l >= 2 && l <= 10)
        perPiece = d < 13 ? formulaB(d, l) : formulaC(d, l);
    else
        perPiece = formulaA(d, l);

    if (!std::isfinite(perPiece)) return std::string(kOverflowText);
    double rounded = leadingNumber(fixedNumber(perPiece, decimals));
    return fixedNumber(rounded * n, decimals);
}

} // namespace lanqi
