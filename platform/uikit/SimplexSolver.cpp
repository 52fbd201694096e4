#include "uikit/SimplexSolver.h"

#include <algorithm>
#include <cmath>

namespace {

// Coefficients this small are rounding noise; constants within this of zero
// count as zero when testing whether a constraint can hold.
constexpr double kNearZero = 1e-9;
constexpr double kFeasibilityTolerance = 1e-6;

bool nearZero(double value) { return std::fabs(value) < kNearZero; }

}  // namespace

SimplexSolver::Variable SimplexSolver::newVariable() {
    externalOf_.push_back(newSymbol(Kind::External));
    return externalOf_.size() - 1;
}

SimplexSolver::Symbol SimplexSolver::newSymbol(Kind kind) {
    kinds_.push_back(kind);
    rowOf_.push_back(-1);
    return static_cast<Symbol>(kinds_.size() - 1);
}

double SimplexSolver::coefficientOf(const Row& row, Symbol symbol) {
    auto at = std::lower_bound(row.cells.begin(), row.cells.end(), symbol,
                               [](const auto& cell, Symbol s) { return cell.first < s; });
    return at != row.cells.end() && at->first == symbol ? at->second : 0.0;
}

void SimplexSolver::addCell(Row& target, Symbol symbol, double coefficient) {
    auto at = std::lower_bound(target.cells.begin(), target.cells.end(), symbol,
                               [](const auto& cell, Symbol s) { return cell.first < s; });
    if (at != target.cells.end() && at->first == symbol) {
        at->second += coefficient;
        if (nearZero(at->second)) target.cells.erase(at);
    } else if (!nearZero(coefficient)) {
        target.cells.insert(at, {symbol, coefficient});
        target.mask |= bitOf(symbol);
    }
}

void SimplexSolver::addScaled(Row& target, const Row& source, double factor) {
    target.constant += factor * source.constant;
    auto& merged = scratch_;
    merged.clear();
    merged.reserve(target.cells.size() + source.cells.size());
    auto a = target.cells.cbegin();
    auto b = source.cells.cbegin();
    while (a != target.cells.end() || b != source.cells.end()) {
        if (b == source.cells.end() || (a != target.cells.end() && a->first < b->first)) {
            merged.push_back(*a++);
        } else if (a == target.cells.end() || b->first < a->first) {
            if (double c = factor * b->second; !nearZero(c)) merged.emplace_back(b->first, c);
            ++b;
        } else {
            if (double c = a->second + factor * b->second; !nearZero(c)) merged.emplace_back(a->first, c);
            ++a;
            ++b;
        }
    }
    target.cells.swap(merged);
    target.mask = 0;
    for (const auto& cell : target.cells) target.mask |= bitOf(cell.first);
}

SimplexSolver::Row SimplexSolver::solvedFor(Row row, Symbol symbol) {
    double coefficient = coefficientOf(row, symbol);
    std::erase_if(row.cells, [&](const auto& cell) { return cell.first == symbol; });
    double factor = -1.0 / coefficient;
    row.constant *= factor;
    for (auto& cell : row.cells) cell.second *= factor;
    return row;
}

void SimplexSolver::substitute(Symbol symbol, const Row& expression) {
    std::uint64_t bit = bitOf(symbol);
    auto rewrite = [&](Row& row) {
        if (!(row.mask & bit)) return;
        if (double c = coefficientOf(row, symbol); c != 0) {
            addCell(row, symbol, -c);
            addScaled(row, expression, c);
        }
    };
    for (auto& row : rows_) rewrite(row);
    rewrite(objective_);
    if (artificialObjective_) rewrite(*artificialObjective_);
}

void SimplexSolver::insertRow(Symbol basic, Row row) {
    rowOf_[basic] = static_cast<std::int32_t>(rows_.size());
    rows_.push_back(std::move(row));
    basicOf_.push_back(basic);
}

SimplexSolver::Row SimplexSolver::removeRow(Symbol basic) {
    auto index = static_cast<std::size_t>(rowOf_[basic]);
    Row row = std::move(rows_[index]);
    if (index + 1 != rows_.size()) {
        rows_[index] = std::move(rows_.back());
        basicOf_[index] = basicOf_.back();
        rowOf_[basicOf_[index]] = static_cast<std::int32_t>(index);
    }
    rows_.pop_back();
    basicOf_.pop_back();
    rowOf_[basic] = -1;
    return row;
}

void SimplexSolver::enter(Symbol subject, const Row& row) {
    Row solved = solvedFor(row, subject);
    substitute(subject, solved);
    insertRow(subject, std::move(solved));
}

void SimplexSolver::pivot(Symbol leaving, Symbol entering) {
    Row row = removeRow(leaving);
    addCell(row, leaving, -1);  // basic = expr  becomes  0 = expr - basic
    enter(entering, row);
}

bool SimplexSolver::addConstraint(std::span<const Term> terms, double constant, Relation relation, double strength) {
    // The constraint over the current non-basic symbols.
    Row row;
    row.constant = constant;
    for (const Term& term : terms) {
        if (term.variable >= externalOf_.size() || nearZero(term.coefficient)) continue;
        Symbol symbol = externalOf_[term.variable];
        if (rowOf_[symbol] >= 0)
            addScaled(row, rows_[static_cast<std::size_t>(rowOf_[symbol])], term.coefficient);
        else
            addCell(row, symbol, term.coefficient);
    }
    if (relation == Relation::LessThanOrEqual) {
        row.constant = -row.constant;
        for (auto& cell : row.cells) cell.second = -cell.second;
    }
    bool required = strength == Required;
    std::vector<Symbol> fresh;
    if (relation == Relation::Equal) {
        if (required) {
            fresh.push_back(newSymbol(Kind::Dummy));
            addCell(row, fresh.back(), 1);
        } else {
            Symbol plus = newSymbol(Kind::Error), minus = newSymbol(Kind::Error);
            addCell(row, plus, -1);
            addCell(row, minus, 1);
            addCell(objective_, plus, strength);
            addCell(objective_, minus, strength);
            fresh = {plus, minus};
        }
    } else {
        fresh.push_back(newSymbol(Kind::Slack));
        addCell(row, fresh.back(), -1);
        if (!required) {
            Symbol error = newSymbol(Kind::Error);
            addCell(row, error, 1);
            addCell(objective_, error, strength);
            fresh.push_back(error);
        }
    }
    if (row.constant < 0) {
        row.constant = -row.constant;
        for (auto& cell : row.cells) cell.second = -cell.second;
    }

    // The subject: a variable if there is one; else a new slack or error
    // symbol with a negative coefficient (its value is then the row's
    // constant, which is not negative).
    for (const auto& [symbol, coefficient] : row.cells)
        if (kinds_[symbol] == Kind::External) {
            enter(symbol, row);
            return true;
        }
    for (Symbol symbol : fresh)
        if (kinds_[symbol] != Kind::Dummy && coefficientOf(row, symbol) < 0) {
            enter(symbol, row);
            return true;
        }
    bool onlyMarkers = std::all_of(row.cells.begin(), row.cells.end(),
                                   [&](const auto& cell) { return kinds_[cell.first] == Kind::Dummy; });
    if (onlyMarkers) return std::fabs(row.constant) < kFeasibilityTolerance;
    return addWithArtificialVariable(row);
}

bool SimplexSolver::addWithArtificialVariable(const Row& row) {
    Symbol artificial = newSymbol(Kind::Artificial);
    insertRow(artificial, row);
    Row artificialObjective = row;
    artificialObjective_ = &artificialObjective;
    optimize(artificialObjective);
    artificialObjective_ = nullptr;
    bool feasible = artificialObjective.constant < kFeasibilityTolerance;

    if (rowOf_[artificial] >= 0) {
        // Basic: its row is the constraint. Dropping it leaves the others as
        // they were (the new symbols then stand for nothing).
        Row remaining = removeRow(artificial);
        if (!feasible) return false;
        remaining.constant = 0;
        auto pivotable = std::find_if(remaining.cells.begin(), remaining.cells.end(),
                                      [&](const auto& cell) { return kinds_[cell.first] != Kind::Dummy; });
        if (pivotable != remaining.cells.end()) enter(pivotable->first, remaining);
        return true;
    }
    // Non-basic, so zero: remove its column.
    for (auto& r : rows_) addCell(r, artificial, -coefficientOf(r, artificial));
    addCell(objective_, artificial, -coefficientOf(objective_, artificial));
    return feasible;
}

void SimplexSolver::optimize(Row& objective) {
    std::size_t limit = 50 * (rows_.size() + kinds_.size()) + 100;
    for (std::size_t step = 0; step < limit; ++step) {
        auto entering = std::find_if(objective.cells.begin(), objective.cells.end(), [&](const auto& cell) {
            Kind kind = kinds_[cell.first];
            return kind != Kind::External && kind != Kind::Dummy && cell.second < -kNearZero;
        });
        if (entering == objective.cells.end()) return;
        Symbol symbol = entering->first;
        double bestRatio = std::numeric_limits<double>::infinity();
        Symbol leaving = 0;
        bool found = false;
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            Symbol basic = basicOf_[i];
            if (!isRestricted(basic)) continue;
            double c = coefficientOf(rows_[i], symbol);
            if (c >= -kNearZero) continue;
            double ratio = -rows_[i].constant / c;
            if (ratio < bestRatio || (ratio == bestRatio && basic < leaving)) {
                bestRatio = ratio;
                leaving = basic;
                found = true;
            }
        }
        if (!found) return;  // unbounded below; cannot happen with weights >= 0
        pivot(leaving, symbol);
    }
}

void SimplexSolver::solve() { optimize(objective_); }

double SimplexSolver::value(Variable variable) const {
    if (variable >= externalOf_.size()) return 0;
    std::int32_t row = rowOf_[externalOf_[variable]];
    return row >= 0 ? rows_[static_cast<std::size_t>(row)].constant : 0;
}
