#include <gtest/gtest.h>

#include "uikit/SimplexSolver.h"

namespace {

using Relation = SimplexSolver::Relation;
using Term = SimplexSolver::Term;
constexpr double Required = SimplexSolver::Required;

// `coefficient × variable + constant (relation) 0` in one call.
bool add(SimplexSolver& solver, std::initializer_list<Term> terms, double constant, Relation relation,
         double strength = Required) {
    return solver.addConstraint({terms.begin(), terms.size()}, constant, relation, strength);
}

TEST(SimplexSolverTest, RequiredEqualitiesAndInequalitiesHoldExactly) {
    SimplexSolver solver;
    auto x = solver.newVariable(), y = solver.newVariable(), z = solver.newVariable();
    EXPECT_TRUE(add(solver, {{x, 1}}, -10, Relation::Equal));                       // x = 10
    EXPECT_TRUE(add(solver, {{y, 1}, {x, -2}}, -5, Relation::Equal));               // y = 2x + 5
    EXPECT_TRUE(add(solver, {{z, 1}, {y, -1}}, 0, Relation::GreaterThanOrEqual));   // z >= y
    EXPECT_TRUE(add(solver, {{z, 1}}, 0, Relation::Equal, 1));                      // z = 0, weakly
    solver.solve();
    EXPECT_DOUBLE_EQ(solver.value(x), 10);
    EXPECT_DOUBLE_EQ(solver.value(y), 25);
    EXPECT_DOUBLE_EQ(solver.value(z), 25);
}

TEST(SimplexSolverTest, HeavierWeightsWinAndViolationsAreMinimised) {
    SimplexSolver solver;
    auto x = solver.newVariable(), y = solver.newVariable();
    add(solver, {{x, 1}}, -10, Relation::Equal, 2);
    add(solver, {{x, 1}}, -20, Relation::Equal, 1);
    // y between 0 and 50, pulled to 80: stops at the bound.
    add(solver, {{y, 1}}, 0, Relation::GreaterThanOrEqual);
    add(solver, {{y, 1}}, -50, Relation::LessThanOrEqual);
    add(solver, {{y, 1}}, -80, Relation::Equal, 1);
    solver.solve();
    EXPECT_NEAR(solver.value(x), 10, 1e-9);
    EXPECT_NEAR(solver.value(y), 50, 1e-9);
}

TEST(SimplexSolverTest, ConflictingRequiredConstraintIsRefusedAndTheRestStillSolves) {
    SimplexSolver solver;
    auto a = solver.newVariable(), b = solver.newVariable(), c = solver.newVariable();
    EXPECT_TRUE(add(solver, {{a, 1}}, -10, Relation::Equal));
    EXPECT_TRUE(add(solver, {{a, 1}}, -10, Relation::Equal));  // redundant, not a conflict
    EXPECT_FALSE(add(solver, {{a, 1}}, -20, Relation::Equal));
    EXPECT_FALSE(add(solver, {{a, 1}}, -5, Relation::LessThanOrEqual));
    // A cycle of inequalities that cannot close: b >= a + 1, c >= b + 1, a >= c.
    EXPECT_TRUE(add(solver, {{b, 1}, {a, -1}}, -1, Relation::GreaterThanOrEqual));
    EXPECT_TRUE(add(solver, {{c, 1}, {b, -1}}, -1, Relation::GreaterThanOrEqual));
    EXPECT_FALSE(add(solver, {{a, 1}, {c, -1}}, 0, Relation::GreaterThanOrEqual));
    EXPECT_TRUE(add(solver, {{c, 1}}, -30, Relation::Equal, 1));
    solver.solve();
    EXPECT_NEAR(solver.value(a), 10, 1e-9);
    EXPECT_GE(solver.value(b), 11 - 1e-9);
    EXPECT_NEAR(solver.value(c), 30, 1e-9);
}

TEST(SimplexSolverTest, ConstantOnlyConstraintsAreCheckedNotIgnored) {
    SimplexSolver solver;
    EXPECT_TRUE(add(solver, {}, 0, Relation::Equal));
    EXPECT_FALSE(add(solver, {}, 3, Relation::Equal));
    EXPECT_TRUE(add(solver, {}, 3, Relation::GreaterThanOrEqual));
    EXPECT_FALSE(add(solver, {}, 3, Relation::LessThanOrEqual));
    EXPECT_TRUE(add(solver, {}, 3, Relation::LessThanOrEqual, 5));  // weighted: merely violated
}

}  // namespace
