#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

#include "screening/DoseResponseFit.h"
#include "screening/Screening.h"

namespace zorvex {
namespace {

const std::vector<double> EightConcentrations = {0.03, 0.1, 0.3, 1, 3, 10, 30, 100};

std::vector<DosePoint> curvePoints(const DoseCurve& curve, const std::vector<double>& concentrations, int replicates,
                                   double noiseSd = 0, unsigned seed = 1) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, noiseSd > 0 ? noiseSd : 1);
    std::vector<DosePoint> points;
    for (double x : concentrations) {
        for (int r = 0; r < replicates; ++r) points.push_back({x, curveResponse(curve, x) + (noiseSd > 0 ? noise(rng) : 0)});
    }
    return points;
}

void expectSignificant(double actual, double expected, int figures, const char* what) {
    EXPECT_NEAR(actual, expected, 0.5 * std::pow(10.0, 1 - figures) * std::abs(expected)) << what;
}

TEST(DoseResponseFit, NoiseFreeCurvesGiveTheirParametersBack) {
    // Falling and rising, shallow and steep, IC50 between and on tested concentrations.
    const std::vector<DoseCurve> curves = {
        {5, 95, 3.0, 1.3}, {0, 100, 0.5, 0.7}, {12.5, 230, 42.0, 3.5}, {20, 80, 1.0, 1.0}};
    for (const DoseCurve& truth : curves) {
        for (bool rising : {false, true}) {
            DoseCurve generating = truth;
            if (rising) std::swap(generating.top, generating.bottom);
            DoseFit fit = fitDoseResponse(curvePoints(generating, EightConcentrations, 2));
            ASSERT_EQ(fit.status, ScreenStatus::Ok);
            if (truth.bottom == 0) {
                EXPECT_NEAR(fit.curve.bottom, 0, 1e-6 * truth.top);
            } else {
                expectSignificant(fit.curve.bottom, truth.bottom, 6, "bottom");
            }
            expectSignificant(fit.curve.top, truth.top, 6, "top");
            expectSignificant(fit.curve.ic50, truth.ic50, 6, "ic50");
            // The top is the upper plateau: a rise shows as a negative slope.
            expectSignificant(fit.curve.hill, rising ? -truth.hill : truth.hill, 6, "hill");
            EXPECT_NEAR(fit.r2, 1.0, 1e-9);
        }
    }
}

// A second computation that shares nothing with the solver: a grid over
// log10 IC50 and slope, bottom and top solved exactly by linear least
// squares at every node, zoomed in until it settles; the errors from a
// finite-difference Jacobian and a 4 x 4 inverse written here.
class IndependentFit {
public:
    explicit IndependentFit(std::vector<DosePoint> points) : points_(std::move(points)) {
        double lowest = 1e300, highest = -1e300;
        for (const auto& p : points_) {
            lowest = std::min(lowest, std::log10(p.concentration));
            highest = std::max(highest, std::log10(p.concentration));
        }
        best_ = {0, 0, lowest, 0.1};
        double bestRss = 1e300;
        search(lowest - 0.5, highest + 0.5, 200, 0.1, 5.0, 245, bestRss);
        double logStep = (highest - lowest + 1) / 200, hillStep = 4.9 / 245;
        for (int round = 0; round < 14; ++round) {
            const double l = best_[2], h = best_[3];
            search(l - 2 * logStep, l + 2 * logStep, 20, h - 2 * hillStep, h + 2 * hillStep, 20, bestRss);
            logStep /= 5;
            hillStep /= 5;
        }
        rss_ = bestRss;
    }

    // bottom, top, log10 IC50, hill
    const std::array<double, 4>& estimates() const { return best_; }

    std::array<double, 4> standardErrors() const {
        const std::size_t n = points_.size();
        std::array<std::array<double, 4>, 4> jtj{};
        for (std::size_t i = 0; i < n; ++i) {
            std::array<double, 4> row{};
            for (std::size_t k = 0; k < 4; ++k) {
                auto up = best_, down = best_;
                const double step = 1e-6 * std::max(1.0, std::abs(best_[k]));
                up[k] += step;
                down[k] -= step;
                row[k] = (model(up, points_[i].concentration) - model(down, points_[i].concentration)) / (2 * step);
            }
            for (std::size_t a = 0; a < 4; ++a) {
                for (std::size_t b = 0; b < 4; ++b) jtj[a][b] += row[a] * row[b];
            }
        }
        auto inverse = invert(jtj);
        const double variance = rss_ / static_cast<double>(n - 4);
        std::array<double, 4> se{};
        for (std::size_t k = 0; k < 4; ++k) se[k] = std::sqrt(variance * inverse[k][k]);
        return se;
    }

private:
    static double model(const std::array<double, 4>& p, double x) {
        return p[0] + (p[1] - p[0]) / (1 + std::pow(10.0, p[3] * (std::log10(x) - p[2])));
    }

    // Bottom and top by least squares for fixed IC50 and slope; the residual sum of squares.
    double solveLinear(double logIc50, double hill, double& bottom, double& top) const {
        double sff = 0, sfg = 0, sgg = 0, sfy = 0, sgy = 0;
        for (const auto& p : points_) {
            const double f = 1 / (1 + std::pow(10.0, hill * (std::log10(p.concentration) - logIc50)));
            const double g = 1 - f;
            sff += f * f; sfg += f * g; sgg += g * g; sfy += f * p.response; sgy += g * p.response;
        }
        const double det = sff * sgg - sfg * sfg;
        top = (sfy * sgg - sgy * sfg) / det;
        bottom = (sgy * sff - sfy * sfg) / det;
        double rss = 0;
        for (const auto& p : points_) {
            const double r = model({bottom, top, logIc50, hill}, p.concentration) - p.response;
            rss += r * r;
        }
        return rss;
    }

    void search(double l0, double l1, int lSteps, double h0, double h1, int hSteps, double& bestRss) {
        for (int i = 0; i <= lSteps; ++i) {
            for (int j = 0; j <= hSteps; ++j) {
                const double l = l0 + (l1 - l0) * i / lSteps, h = h0 + (h1 - h0) * j / hSteps;
                double bottom = 0, top = 0;
                const double rss = solveLinear(l, h, bottom, top);
                if (rss < bestRss) {
                    bestRss = rss;
                    best_ = {bottom, top, l, h};
                }
            }
        }
    }

    static std::array<std::array<double, 4>, 4> invert(std::array<std::array<double, 4>, 4> a) {
        std::array<std::array<double, 4>, 4> inv{};
        for (std::size_t k = 0; k < 4; ++k) inv[k][k] = 1;
        for (std::size_t c = 0; c < 4; ++c) {
            std::size_t pivot = c;
            for (std::size_t r = c + 1; r < 4; ++r) {
                if (std::abs(a[r][c]) > std::abs(a[pivot][c])) pivot = r;
            }
            std::swap(a[c], a[pivot]);
            std::swap(inv[c], inv[pivot]);
            const double d = a[c][c];
            for (std::size_t k = 0; k < 4; ++k) { a[c][k] /= d; inv[c][k] /= d; }
            for (std::size_t r = 0; r < 4; ++r) {
                if (r == c) continue;
                const double factor = a[r][c];
                for (std::size_t k = 0; k < 4; ++k) { a[r][k] -= factor * a[c][k]; inv[r][k] -= factor * inv[c][k]; }
            }
        }
        return inv;
    }

    std::vector<DosePoint> points_;
    std::array<double, 4> best_{};
    double rss_ = 0;
};

TEST(DoseResponseFit, NoisyEstimatesAndErrorsMatchAnIndependentComputation) {
    for (unsigned seed : {3u, 11u, 29u}) {
        auto points = curvePoints({8, 110, 2.5, 1.4}, EightConcentrations, 3, 6.0, seed);
        DoseFit fit = fitDoseResponse(points);
        ASSERT_EQ(fit.status, ScreenStatus::Ok) << "seed " << seed;
        IndependentFit reference(points);
        const auto& e = reference.estimates();
        const auto se = reference.standardErrors();
        expectSignificant(fit.curve.bottom, e[0], 3, "bottom");
        expectSignificant(fit.curve.top, e[1], 3, "top");
        expectSignificant(std::log10(fit.curve.ic50), e[2], 3, "log10 ic50");
        expectSignificant(fit.curve.hill, e[3], 3, "hill");
        expectSignificant(fit.bottomSe, se[0], 3, "bottom se");
        expectSignificant(fit.topSe, se[1], 3, "top se");
        expectSignificant(fit.log10Ic50Se, se[2], 3, "log10 ic50 se");
        expectSignificant(fit.hillSe, se[3], 3, "hill se");
    }
}

// A plate of 8 concentrations x 4 wells with controls, screened without
// normalisation so the fit's numbers are the generating ones.
ScreeningPlate syntheticPlate(const DoseCurve& truth, double noiseSd, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, noiseSd);
    ScreeningPlate plate;
    auto addGroup = [&](int group, GroupAnnotation annotation, double mean, int wells) {
        plate.annotations[group] = annotation;
        for (int w = 0; w < wells; ++w) {
            plate.wells.push_back({static_cast<int>(plate.wells.size()), "W" + std::to_string(plate.wells.size()), group});
            plate.windowActivity.push_back(mean + noise(rng));
        }
    };
    addGroup(0, {"Vehicle", "", std::nullopt, "", GroupRole::Negative}, truth.top, 8);
    addGroup(1, {"Paralysed", "", std::nullopt, "", GroupRole::Positive}, truth.bottom, 8);
    for (std::size_t k = 0; k < EightConcentrations.size(); ++k) {
        const double x = EightConcentrations[k];
        addGroup(static_cast<int>(k) + 2, {"D" + std::to_string(k), "Drug", x, "uM", GroupRole::Sample},
                 curveResponse(truth, x), 4);
    }
    return plate;
}

TEST(DoseResponseFit, SyntheticPlatesRecoverTheirParametersWithinTheir95PercentIntervals) {
    const DoseCurve truth{10, 200, 2.0, 1.5};
    std::array<int, 4> covered{};  // bottom, top, IC50, hill
    for (unsigned seed = 1; seed <= 100; ++seed) {
        ScreeningResults results = screenPlate(syntheticPlate(truth, 12.0, seed), Normalisation::None);
        ASSERT_EQ(results.compounds.size(), 1u);
        const DoseFit& fit = results.compounds[0].fit;
        ASSERT_EQ(fit.status, ScreenStatus::Ok) << "seed " << seed;
        const double t = 2.0484;  // Student's t, 97.5 %, 28 degrees of freedom
        covered[0] += std::abs(fit.curve.bottom - truth.bottom) <= t * fit.bottomSe;
        covered[1] += std::abs(fit.curve.top - truth.top) <= t * fit.topSe;
        covered[2] += fit.ic50Low <= truth.ic50 && truth.ic50 <= fit.ic50High;
        covered[3] += std::abs(fit.curve.hill - truth.hill) <= t * fit.hillSe;
    }
    for (int parameter = 0; parameter < 4; ++parameter) EXPECT_GE(covered[parameter], 90) << "parameter " << parameter;
}

TEST(DoseResponseFit, DataWithoutACurveGetAStatusAndNoNumbers) {
    auto constant = [](const std::vector<double>& xs) {
        std::vector<DosePoint> points;
        for (double x : xs) points.push_back({x, 50});
        return points;
    };
    std::vector<DosePoint> step;
    for (double x : EightConcentrations) {
        for (int r = 0; r < 3; ++r) step.push_back({x, x < 2 ? 100.0 : 0.0});
    }
    std::vector<DosePoint> noiseOnly;
    std::mt19937 rng(5);
    std::normal_distribution<double> noise(50, 5);
    for (double x : EightConcentrations) {
        for (int r = 0; r < 3; ++r) noiseOnly.push_back({x, noise(rng)});
    }
    const struct {
        const char* what;
        std::vector<DosePoint> points;
        ScreenStatus status;
    } cases[] = {
        {"one concentration", curvePoints({0, 100, 1, 1}, {5}, 6), ScreenStatus::SingleConcentration},
        {"three concentrations", curvePoints({0, 100, 1, 1}, {0.1, 1, 10}, 4), ScreenStatus::TooFewConcentrations},
        {"four wells", curvePoints({0, 100, 1, 1}, {0.1, 1, 10, 100}, 1), ScreenStatus::TooFewWells},
        {"constant", constant(EightConcentrations), ScreenStatus::Flat},
        {"noise only", noiseOnly, ScreenStatus::Flat},
        // The solver settles on an ever steeper slope: no parameter is wrong to search, one is undetermined.
        {"a step between two concentrations", step, ScreenStatus::Undetermined},
        {"IC50 above the tested range", curvePoints({0, 100, 20, 1.5}, {0.1, 0.3, 1, 3, 10}, 3), ScreenStatus::OutsideRange},
    };
    for (const auto& c : cases) {
        DoseFit fit = fitDoseResponse(c.points);
        EXPECT_EQ(fit.status, c.status) << c.what << ": " << screenStatusText(fit.status);
        EXPECT_EQ(fit.points, static_cast<int>(c.points.size())) << c.what;
    }
}

}  // namespace
}  // namespace zorvex
