#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>
#include <vector>

// A linear-constraint solver in the Cassowary style: linear equalities and
// inequalities over unrestricted variables, each either required or weighted.
// Required constraints hold exactly; weighted ones are satisfied as far as
// the required ones allow, a violation costing its weight times its size, and
// the solution minimises the total cost.
//
// It keeps a simplex tableau in basic feasible solved form. Adding a
// constraint rewrites it over the current non-basic symbols, gives it slack
// (inequalities), error (weighted) or marker (required equalities) symbols and
// makes one of them, or a variable, basic; when none fits, an artificial
// symbol is minimised to find out whether the constraint can hold at all. A
// required constraint that cannot hold with those added before is refused and
// leaves the tableau as it was, so a caller can add constraints in order of
// precedence and lose only the later of two that conflict. `solve()`
// minimises the weighted violations with the primal simplex (Bland's rule, so
// it terminates and is deterministic).
class SimplexSolver {
public:
    using Variable = std::size_t;
    struct Term {
        Variable variable;
        double coefficient;
    };
    enum class Relation { LessThanOrEqual, Equal, GreaterThanOrEqual };
    // The strength of a constraint that must hold.
    static constexpr double Required = std::numeric_limits<double>::infinity();

    Variable newVariable();
    // Adds `Σ terms + constant (relation) 0` with a positive weight, or
    // Required. False, and no change, when a required constraint cannot hold.
    bool addConstraint(std::span<const Term> terms, double constant, Relation relation, double strength);
    // Minimises the weighted violations; call after adding, before reading.
    void solve();
    // The variable's value in the current solution (0 when nothing fixes it).
    double value(Variable variable) const;

private:
    using Symbol = std::uint32_t;
    enum class Kind : std::uint8_t { External, Slack, Error, Dummy, Artificial };
    // constant + Σ coefficient × symbol, cells sorted by symbol. `mask`
    // has bit (symbol mod 64) set for every symbol in the cells (and maybe
    // for some that left), so most rows are passed over at a glance.
    struct Row {
        double constant = 0;
        std::vector<std::pair<Symbol, double>> cells;
        std::uint64_t mask = 0;
    };
    static std::uint64_t bitOf(Symbol symbol) { return std::uint64_t{1} << (symbol % 64); }

    Symbol newSymbol(Kind kind);
    bool isRestricted(Symbol symbol) const { return kinds_[symbol] != Kind::External; }
    static double coefficientOf(const Row& row, Symbol symbol);
    void addScaled(Row& target, const Row& source, double factor);
    static void addCell(Row& target, Symbol symbol, double coefficient);
    // Rewrites `0 = row` as `symbol = ...`.
    static Row solvedFor(Row row, Symbol symbol);
    // Replaces `symbol` by `expression` in every row and objective.
    void substitute(Symbol symbol, const Row& expression);
    void insertRow(Symbol basic, Row row);
    Row removeRow(Symbol basic);
    void pivot(Symbol leaving, Symbol entering);
    // Makes `subject` basic from `0 = row`.
    void enter(Symbol subject, const Row& row);
    void optimize(Row& objective);
    // Finds out with an artificial symbol whether `0 = row` can hold; when it
    // can, the tableau then includes it.
    bool addWithArtificialVariable(const Row& row);

    std::vector<Kind> kinds_;
    std::vector<std::int32_t> rowOf_;  // by symbol: index in rows_, or -1
    std::vector<Symbol> externalOf_;   // by variable
    std::vector<Row> rows_;
    std::vector<Symbol> basicOf_;      // by row
    Row objective_;
    Row* artificialObjective_ = nullptr;
    std::vector<std::pair<Symbol, double>> scratch_;
};
