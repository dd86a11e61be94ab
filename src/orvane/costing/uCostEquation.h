#pragma once
// Linear equations of the FIFO cost solver: the unknowns are unit costs of issues whose receipts
// take their cost from other issues.

#include <vector>

namespace CostEquation {
// Gauss-Jordan elimination in place on the augmented matrix of "n" equations: n rows of n + 1
// doubles, row-major, the last column the right-hand side. Pivoting takes the largest absolute
// value of the column (the upper row on ties); a row is divided by its leading value unless that
// is 0 or 1; every comparison is exact. Returns true when the left block ends as the identity
// (no diagonal 0, no off-diagonal non-zero) and the solution column is finite; the solution of
// unknown r is then Matrix[r * (n + 1) + n]. A matrix of another size is refused (false).
bool SolveEquation(int n, std::vector<double> &Matrix);
} // namespace CostEquation
