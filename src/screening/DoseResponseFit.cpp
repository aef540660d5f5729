#include "screening/DoseResponseFit.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_cdf.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>

namespace zorvex {

namespace {

constexpr std::size_t ParameterCount = 4;  // bottom, top, log10 IC50, hill
constexpr std::size_t Bottom = 0, Top = 1, LogIc50 = 2, Hill = 3;
constexpr int FewestConcentrations = 4;
constexpr double IntervalLevel = 0.95;
// Tight enough that noise-free data give their parameters back to far more
// than six significant figures.
constexpr double StepTolerance = 1e-12;
constexpr double GradientTolerance = 1e-12;
constexpr double CostTolerance = 1e-14;
constexpr double RankTolerance = 1e-12;
const double Ln10 = std::log(10.0);

// GSL aborts on errors by default; here its statuses are what we act on.
class GslErrorsReturned {
public:
    GslErrorsReturned() : previous_(gsl_set_error_handler_off()) {}
    ~GslErrorsReturned() { gsl_set_error_handler(previous_); }
    GslErrorsReturned(const GslErrorsReturned&) = delete;
    GslErrorsReturned& operator=(const GslErrorsReturned&) = delete;

private:
    gsl_error_handler_t* previous_;
};

struct FitData {
    std::vector<double> log10Concentration;
    std::vector<double> response;
};

// The curve's share of its span at u = hill * (log10 x - log10 IC50): 1 / (1 + 10^u),
// and its complement, each computed so that neither overflows into NaN.
double upperShare(double u) { return 1.0 / (1.0 + std::exp(u * Ln10)); }
double lowerShare(double u) { return 1.0 / (1.0 + std::exp(-u * Ln10)); }

int residuals(const gsl_vector* x, void* params, gsl_vector* f) {
    const auto& data = *static_cast<const FitData*>(params);
    const double bottom = gsl_vector_get(x, Bottom), top = gsl_vector_get(x, Top);
    const double logIc50 = gsl_vector_get(x, LogIc50), hill = gsl_vector_get(x, Hill);
    for (std::size_t i = 0; i < data.response.size(); ++i) {
        const double u = hill * (data.log10Concentration[i] - logIc50);
        gsl_vector_set(f, i, bottom + (top - bottom) * upperShare(u) - data.response[i]);
    }
    return GSL_SUCCESS;
}

int jacobian(const gsl_vector* x, void* params, gsl_matrix* j) {
    const auto& data = *static_cast<const FitData*>(params);
    const double bottom = gsl_vector_get(x, Bottom), top = gsl_vector_get(x, Top);
    const double logIc50 = gsl_vector_get(x, LogIc50), hill = gsl_vector_get(x, Hill);
    for (std::size_t i = 0; i < data.response.size(); ++i) {
        const double distance = data.log10Concentration[i] - logIc50;
        const double upper = upperShare(hill * distance), lower = lowerShare(hill * distance);
        // d(share)/du = -ln10 * share * (1 - share)
        const double slope = (top - bottom) * Ln10 * upper * lower;
        gsl_matrix_set(j, i, Bottom, lower);
        gsl_matrix_set(j, i, Top, upper);
        gsl_matrix_set(j, i, LogIc50, slope * hill);
        gsl_matrix_set(j, i, Hill, -slope * distance);
    }
    return GSL_SUCCESS;
}

// Start: the plateaus at the lowest and highest concentration, the IC50
// where the means first cross halfway, slope 1.
std::vector<double> startingValues(const std::map<double, std::vector<double>>& byConcentration) {
    std::vector<std::pair<double, double>> means;  // (log10 concentration, mean response)
    for (const auto& [concentration, responses] : byConcentration) {
        means.emplace_back(std::log10(concentration),
                           std::accumulate(responses.begin(), responses.end(), 0.0) / static_cast<double>(responses.size()));
    }
    const double atLowest = means.front().second, atHighest = means.back().second;
    const double half = (atLowest + atHighest) / 2;
    double logIc50 = (means.front().first + means.back().first) / 2;
    for (std::size_t k = 1; k < means.size(); ++k) {
        const auto [x0, y0] = means[k - 1];
        const auto [x1, y1] = means[k];
        if ((y0 - half) * (y1 - half) <= 0 && y0 != y1) {
            logIc50 = x0 + (half - y0) / (y1 - y0) * (x1 - x0);
            break;
        }
    }
    return {atHighest, atLowest, logIc50, 1.0};
}

double sumOfSquaresAboutMean(const std::vector<double>& values) {
    const double mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    double sum = 0;
    for (double v : values) sum += (v - mean) * (v - mean);
    return sum;
}

// True when the curve improves on the mean less significantly than asked
// (the F test of the nested constant model).
bool isFlat(double totalSquares, double residualSquares, int degreesOfFreedom, double significance) {
    if (totalSquares <= 0) return true;
    if (residualSquares <= 0) return false;
    const double f = ((totalSquares - residualSquares) / (ParameterCount - 1)) / (residualSquares / degreesOfFreedom);
    return f <= 0 || gsl_cdf_fdist_Q(f, ParameterCount - 1, degreesOfFreedom) > significance;
}

struct Workspace {
    gsl_multifit_nlinear_workspace* solver;
    ~Workspace() { gsl_multifit_nlinear_free(solver); }
};

}  // namespace

std::string_view screenStatusText(ScreenStatus status) {
    switch (status) {
        case ScreenStatus::Ok: return "ok";
        case ScreenStatus::NoConvergence: return "no convergence";
        case ScreenStatus::Undetermined: return "undetermined";
        case ScreenStatus::NoHalfResponse: return "50 % not reached";
        case ScreenStatus::OutsideRange: return "IC50 outside tested range";
        case ScreenStatus::Flat: return "flat response";
        case ScreenStatus::SingleConcentration: return "single concentration";
        case ScreenStatus::TooFewConcentrations: return "too few concentrations";
        case ScreenStatus::TooFewWells: return "too few wells";
        case ScreenStatus::MissingControls: return "missing controls";
        case ScreenStatus::ZeroControl: return "zero control";
        case ScreenStatus::MixedUnits: return "mixed units";
    }
    return "";
}

double curveResponse(const DoseCurve& curve, double concentration) {
    return curve.bottom + (curve.top - curve.bottom) * upperShare(curve.hill * std::log10(concentration / curve.ic50));
}

DoseFit fitDoseResponse(const std::vector<DosePoint>& points, const FitSettings& settings) {
    DoseFit fit;
    fit.points = static_cast<int>(points.size());
    std::map<double, std::vector<double>> byConcentration;
    FitData data;
    for (const DosePoint& point : points) {
        byConcentration[point.concentration].push_back(point.response);
        data.log10Concentration.push_back(std::log10(point.concentration));
        data.response.push_back(point.response);
    }
    fit.degreesOfFreedom = fit.points - static_cast<int>(ParameterCount);
    fit.concentrations = static_cast<int>(byConcentration.size());
    if (!byConcentration.empty()) {
        fit.lowestConcentration = byConcentration.begin()->first;
        fit.highestConcentration = byConcentration.rbegin()->first;
    }
    if (byConcentration.size() == 1) fit.status = ScreenStatus::SingleConcentration;
    if (byConcentration.size() == 1 || points.empty()) return fit;
    if (static_cast<int>(byConcentration.size()) < FewestConcentrations) {
        fit.status = ScreenStatus::TooFewConcentrations;
        return fit;
    }
    if (fit.degreesOfFreedom < 1) {
        fit.status = ScreenStatus::TooFewWells;
        return fit;
    }
    const double totalSquares = sumOfSquaresAboutMean(data.response);
    if (totalSquares <= 0) {
        fit.status = ScreenStatus::Flat;
        return fit;
    }

    GslErrorsReturned errorsReturned;
    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = residuals;
    fdf.df = jacobian;
    fdf.n = points.size();
    fdf.p = ParameterCount;
    fdf.params = &data;
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    Workspace workspace{gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, fdf.n, fdf.p)};
    std::vector<double> start = startingValues(byConcentration);
    gsl_vector_view x0 = gsl_vector_view_array(start.data(), ParameterCount);
    int info = 0;
    int status = gsl_multifit_nlinear_init(&x0.vector, &fdf, workspace.solver);
    if (status == GSL_SUCCESS) {
        status = gsl_multifit_nlinear_driver(static_cast<std::size_t>(settings.maxIterations), StepTolerance,
                                             GradientTolerance, CostTolerance, nullptr, nullptr, &info,
                                             workspace.solver);
    }
    fit.iterations = static_cast<int>(gsl_multifit_nlinear_niter(workspace.solver));
    const gsl_vector* x = gsl_multifit_nlinear_position(workspace.solver);
    double residualSquares = 0;
    gsl_blas_ddot(gsl_multifit_nlinear_residual(workspace.solver), gsl_multifit_nlinear_residual(workspace.solver),
                  &residualSquares);
    // Even an unsettled fit says whether any curve beats the mean.
    if (std::isfinite(residualSquares) &&
        isFlat(totalSquares, residualSquares, fit.degreesOfFreedom, settings.flatSignificance)) {
        fit.status = ScreenStatus::Flat;
        return fit;
    }
    if (status != GSL_SUCCESS) return fit;

    double bottom = gsl_vector_get(x, Bottom), top = gsl_vector_get(x, Top);
    const double logIc50 = gsl_vector_get(x, LogIc50);
    double hill = gsl_vector_get(x, Hill);
    std::unique_ptr<gsl_matrix, decltype(&gsl_matrix_free)> covariance(gsl_matrix_alloc(ParameterCount, ParameterCount),
                                                                       gsl_matrix_free);
    gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(workspace.solver), RankTolerance, covariance.get());
    const double variance = residualSquares / fit.degreesOfFreedom;
    // From here the solver has settled: what fails is a parameter the data do not determine.
    fit.status = ScreenStatus::Undetermined;
    std::array<double, ParameterCount> se{};
    for (std::size_t k = 0; k < ParameterCount; ++k) {
        const double diagonal = gsl_matrix_get(covariance.get(), k, k);
        // A zero variance is a column the rank test dropped: that parameter is undetermined.
        if (!(diagonal > 0) || !std::isfinite(diagonal)) return fit;
        se[k] = std::sqrt(variance * diagonal);
    }
    if (!std::isfinite(bottom) || !std::isfinite(top) || !std::isfinite(logIc50) || !std::isfinite(hill)) return fit;
    // The same curve with the plateaus exchanged and the slope negated: keep top the upper one.
    std::array<std::size_t, ParameterCount> source = {Bottom, Top, LogIc50, Hill};
    std::array<double, ParameterCount> sign = {1, 1, 1, 1};
    if (top < bottom) {
        std::swap(top, bottom);
        std::swap(se[Top], se[Bottom]);
        std::swap(source[Top], source[Bottom]);
        hill = -hill;
        sign[Hill] = -1;
    }
    for (std::size_t i = 0; i < ParameterCount; ++i) {
        for (std::size_t k = 0; k < ParameterCount; ++k) {
            fit.covariance[i][k] = sign[i] * sign[k] * variance * gsl_matrix_get(covariance.get(), source[i], source[k]);
        }
    }
    const double t = gsl_cdf_tdist_Pinv(0.5 + IntervalLevel / 2, fit.degreesOfFreedom);
    fit.curve = {bottom, top, std::pow(10.0, logIc50), hill};
    fit.bottomSe = se[Bottom];
    fit.topSe = se[Top];
    fit.log10Ic50Se = se[LogIc50];
    fit.hillSe = se[Hill];
    fit.ic50Low = std::pow(10.0, logIc50 - t * se[LogIc50]);
    fit.ic50High = std::pow(10.0, logIc50 + t * se[LogIc50]);
    fit.residualSumOfSquares = residualSquares;
    fit.r2 = 1 - residualSquares / totalSquares;
    const bool inRange = fit.curve.ic50 >= fit.lowestConcentration && fit.curve.ic50 <= fit.highestConcentration;
    fit.status = inRange ? ScreenStatus::Ok : ScreenStatus::OutsideRange;
    return fit;
}

}  // namespace zorvex
