#include "CliFiles.h"
#include "Commands.h"

#include <fmt/format.h>
#include <fmt/ostream.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace tarvis {

namespace {

struct Kind {
    char const* option;
    eKaTrafo2DType type;
    int minPoints;
};

constexpr Kind Kinds[] = {{"helmert", KaTrafo2DHelmert, 2},
                          {"affine", KaTrafo2DAffin, 3},
                          {"projective", KaTrafo2DProjektiv, 4},
                          {"polynomial", KaTrafo2DPolynomial, 10}};

Kind const* FindKind(eKaTrafo2DType type) {
    for (Kind const& k : Kinds)
        if (k.type == type)
            return &k;
    return nullptr;
}

// "a,b,..." as exactly n numbers; throws std::invalid_argument.
std::vector<double> ParseNumbers(std::string const& text, size_t n, char const* what) {
    std::vector<double> values;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        size_t used = 0;
        double value = 0.0;
        try {
            value = std::stod(item, &used);
        } catch (std::exception const&) {
            used = 0;
        }
        if (used == 0 || item.find_first_not_of(" \t", used) != std::string::npos || !std::isfinite(value))
            throw std::invalid_argument(fmt::format("{}: \"{}\" is not a number", what, item));
        values.push_back(value);
    }
    if (values.size() != n)
        throw std::invalid_argument(fmt::format("{}: {} numbers expected, separated by commas", what, n));
    return values;
}

bool Estimate(KaCalcTrafo2D& fit, eKaTrafo2DType type, KaPointList* points) {
    switch (type) {
    case KaTrafo2DHelmert:
        return fit.CalcTrafoHelmert(points);
    case KaTrafo2DAffin:
        return fit.CalcTrafoAffin(points);
    case KaTrafo2DProjektiv:
        return fit.CalcTrafoProjectiv(points);
    case KaTrafo2DPolynomial:
        return fit.CalcTrafoPolynom(points);
    default:
        return false;
    }
}

// The mean scale of the transformation near the centre of the points: the square
// root of the Jacobian's determinant, in target units per source unit.
double MeanScale(KaTrafo2d const& trafo, KaPointList const& points) {
    KaPoint const centre = KaCalcGravitycenter(points);
    double const cx = centre.x, cy = centre.y;
    KaRegion const box = KaPolygon(&points).GetRegion();
    double const h = 1e-3 * std::max({box.Right() - box.Left(), box.Top() - box.Bottom(), 1e-9});
    auto at = [&trafo](double x, double y) {
        trafo.Transform(&x, &y);
        return std::pair{x, y};
    };
    auto const [x1, y1] = at(cx + h, cy);
    auto const [x0, y0] = at(cx - h, cy);
    auto const [x3, y3] = at(cx, cy + h);
    auto const [x2, y2] = at(cx, cy - h);
    double const det = ((x1 - x0) * (y3 - y2) - (x3 - x2) * (y1 - y0)) / (4.0 * h * h);
    return std::sqrt(std::fabs(det));
}

enum class Use { Used, Unpaired, Rejected };

char const* UseName(Use use) {
    switch (use) {
    case Use::Used:
        return "used";
    case Use::Unpaired:
        return "unpaired";
    default:
        return "rejected";
    }
}

struct Row {
    unsigned int number;
    double X, Y;
    bool paired;
    double x, y, dx, dy;
    Use use;
};

struct Result {
    Kind const* kind;
    bool chosen; // by --type auto
    KaCalcTrafo2D fit;
    std::vector<Row> rows;
    std::vector<unsigned int> rejected; // in the order of removal
    int used = 0;
    double scale = 0.0;
    KaPoint const* worst = nullptr;
};

void PrintText(std::ostream& out, FitOptions const& options, Result const& r, int sourceCount,
               int targetCount) {
    fmt::print(out, "Source: {} ({} points)\n", options.source, sourceCount);
    fmt::print(out, "Target: {} ({} points)\n", options.target, targetCount);
    fmt::print(out, "Type:   {}{}\n", r.fit.GetTrafoName(),
               r.chosen ? " (chosen by the spread of the points)" : "");
    int const n = KaTrafo2d::CoefficientCount(r.fit.GetType());
    for (int i = 0; i < n; ++i)
        fmt::print(out, "  p{:<2} = {:.16g}\n", i, r.fit.p[i]);
    fmt::print(out, "\n{:>8} {:>14} {:>14} {:>14} {:>14} {:>11} {:>11}  {}\n", "#", "X", "Y", "x", "y", "dx",
               "dy", "status");
    for (Row const& row : r.rows) {
        if (row.paired)
            fmt::print(out, "{:>8} {:>14.4f} {:>14.4f} {:>14.4f} {:>14.4f} {:>11.6f} {:>11.6f}  {}\n",
                       row.number, row.X, row.Y, row.x, row.y, row.dx, row.dy, UseName(row.use));
        else
            fmt::print(out, "{:>8} {:>14.4f} {:>14.4f} {:>14} {:>14} {:>11} {:>11}  {}\n", row.number, row.X,
                       row.Y, "", "", "", "", UseName(row.use));
    }
    fmt::print(out, "\n");
    for (unsigned int number : r.rejected) {
        auto const row =
            std::find_if(r.rows.begin(), r.rows.end(), [number](Row const& w) { return w.number == number; });
        fmt::print(out, "Removed: point {} (dx {:.6f}, dy {:.6f})\n", number, row->dx, row->dy);
    }
    fmt::print(out, "RMS residuals: x {:.6f}, y {:.6f} over {} points\n", r.fit.GetResidualX(),
               r.fit.GetResidualY(), r.used);
    if (r.worst)
        fmt::print(out, "Worst point: {} (dx {:.6f}, dy {:.6f})\n", r.worst->GetId(), r.worst->dx,
                   r.worst->dy);
    fmt::print(out, "Scale: {:.8g} target units per source unit (1 : {:.8g})\n", r.scale,
               r.scale > 0.0 ? 1.0 / r.scale : 0.0);
}

void PrintJson(std::ostream& out, FitOptions const& options, Result const& r) {
    nlohmann::json j;
    j["source"] = options.source;
    j["target"] = options.target;
    j["type"] = r.kind->option;
    j["typeName"] = r.fit.GetTrafoName();
    j["chosenBySpread"] = r.chosen;
    std::vector<double> const coefficients(r.fit.p, r.fit.p + KaTrafo2d::CoefficientCount(r.fit.GetType()));
    j["coefficients"] = coefficients;
    nlohmann::json rows = nlohmann::json::array();
    for (Row const& row : r.rows) {
        nlohmann::json p{{"number", row.number}, {"X", row.X}, {"Y", row.Y}, {"status", UseName(row.use)}};
        if (row.paired) {
            p["x"] = row.x;
            p["y"] = row.y;
            p["dx"] = row.dx;
            p["dy"] = row.dy;
        }
        rows.push_back(p);
    }
    j["points"] = rows;
    j["rejected"] = r.rejected;
    j["rms"] = {{"x", r.fit.GetResidualX()}, {"y", r.fit.GetResidualY()}, {"points", r.used}};
    if (r.worst)
        j["worst"] = {{"number", r.worst->GetId()}, {"dx", r.worst->dx}, {"dy", r.worst->dy}};
    else
        j["worst"] = nullptr;
    j["scale"] = r.scale;
    out << j.dump(2) << '\n';
}

} // namespace

int RunFit(FitOptions const& options, std::ostream& out, std::ostream& err) {
    // The options first: nothing is read while the command line is wrong.
    Kind const* kind = nullptr;
    if (options.type != "auto") {
        for (Kind const& k : Kinds)
            if (options.type == k.option)
                kind = &k;
        if (!kind) {
            fmt::print(err, "--type: \"{}\" is not one of helmert, affine, projective, polynomial, auto\n",
                       options.type);
            return ExitUsage;
        }
    }
    KaPointFormat format;
    std::vector<double> region, limits;
    try {
        format = MakeFormat(ParseColumns(options.columns));
        if (!options.region.empty())
            region = ParseNumbers(options.region, 4, "--region");
        if (!options.rejectLimits.empty()) {
            limits = ParseNumbers(options.rejectLimits, 2, "--reject");
            if (limits[0] <= 0.0 || limits[1] <= 0.0)
                throw std::invalid_argument("--reject: the limits must be positive");
        }
    } catch (std::invalid_argument const& e) {
        fmt::print(err, "{}\n", e.what());
        return ExitUsage;
    }
    if (!options.write.empty() &&
        (SameFile(options.write, options.source) || SameFile(options.write, options.target))) {
        fmt::print(err, "{}: will not overwrite an input file\n", options.write);
        return ExitUsage;
    }

    KaPointList sources, targets;
    bool const sourceOk = ReadPointFile(options.source, format, sources, err);
    bool const targetOk = ReadPointFile(options.target, format, targets, err);
    if (!sourceOk || !targetOk)
        return ExitFailed;

    // Only points with a partner take part; the others are listed as unpaired.
    KaPointList used;
    for (KaPoint const* p = sources.First(); p; p = p->Next())
        if (targets.Find(p->GetId()) && !used.Find(p->GetId()))
            used.Add(*p);
    if (used.Count() == 0) {
        fmt::print(err, "{} and {}: no point numbers in common\n", options.source, options.target);
        return ExitFailed;
    }

    Result r{};
    r.chosen = kind == nullptr;
    r.fit.SetPPList(&targets);
    if (!kind) {
        KaRegion const box = region.empty() ? KaPolygon(&used).GetRegion()
                                            : KaRegion(region[0], region[1], region[2], region[3]);
        kind = FindKind(r.fit.SuggestTrafoByDistrib(box, &used));
        if (!kind) {
            fmt::print(err, "{} and {}: {} paired point(s), too few for any transformation\n", options.source,
                       options.target, used.Count());
            return ExitFailed;
        }
    }
    r.kind = kind;
    if (used.Count() < kind->minPoints) {
        fmt::print(err, "{} and {}: {} paired point(s), a {} transformation needs {}\n", options.source,
                   options.target, used.Count(), kind->option, kind->minPoints);
        return ExitFailed;
    }

    // Fit, and while a blunder stands out, remove the worst point and fit again.
    KaPointList removed;
    for (;;) {
        if (!Estimate(r.fit, kind->type, &used) || !r.fit.CalcResiduals(&used)) {
            fmt::print(err, "{} and {}: the {} transformation cannot be determined from these points\n",
                       options.source, options.target, kind->option);
            return ExitFailed;
        }
        if (!options.reject || used.Count() <= kind->minPoints)
            break;
        double const limitX = limits.empty() ? 3.0 * r.fit.GetResidualX() : limits[0];
        double const limitY = limits.empty() ? 3.0 * r.fit.GetResidualY() : limits[1];
        KaPoint* worst = nullptr;
        double worstRatio = 1.0;
        for (KaPoint* p = used.First(); p; p = p->Next()) {
            for (auto [d, limit] : {std::pair{p->dx, limitX}, std::pair{p->dy, limitY}}) {
                if (std::fabs(d) <= limit)
                    continue;
                double const ratio =
                    limit > 0.0 ? std::fabs(d) / limit : std::numeric_limits<double>::infinity();
                if (ratio > worstRatio) {
                    worstRatio = ratio;
                    worst = p;
                }
            }
        }
        if (!worst)
            break;
        r.rejected.push_back(worst->GetId());
        removed.Add(used.Subtract(worst));
    }

    // The table: every source point in file order, with its residual where it has a partner.
    for (KaPoint const* p = sources.First(); p; p = p->Next()) {
        Row row{p->GetId(), p->x, p->y, false, 0.0, 0.0, 0.0, 0.0, Use::Unpaired};
        if (KaPoint const* partner = targets.Find(p->GetId())) {
            double x = p->x, y = p->y;
            r.fit.Transform(&x, &y);
            row.paired = true;
            row.x = partner->x;
            row.y = partner->y;
            row.dx = x - partner->x;
            row.dy = y - partner->y;
            row.use = removed.Find(p->GetId()) ? Use::Rejected : Use::Used;
        }
        r.rows.push_back(row);
    }
    r.used = used.Count();
    r.worst = r.fit.GetMaxError() != 0 ? used.Find(r.fit.GetMaxError()) : nullptr;
    r.scale = MeanScale(r.fit, used);

    if (options.json)
        PrintJson(out, options, r);
    else
        PrintText(out, options, r, sources.Count(), targets.Count());

    if (!options.write.empty()) {
        std::ostringstream record;
        record.imbue(std::locale::classic());
        r.fit.Write(record);
        record << '\n';
        if (!WriteOutputFile(options.write, record.str(), err))
            return ExitFailed;
    }
    return ExitOk;
}

} // namespace tarvis
