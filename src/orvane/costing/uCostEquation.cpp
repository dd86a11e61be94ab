#include "uCostEquation.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace CostEquation {
namespace {
// Row operations over columns [from, width). Columns left of "from" hold zeros in the rows touched
// (the matrix is upper triangular there), so leaving them out changes no value that is compared
// or read later.
inline void DivideRow(double *row, std::size_t from, std::size_t width, double d)
{
    for (std::size_t j = from; j < width; ++j)
        row[j] /= d;
}

inline void SubtractRow(double *__restrict target, const double *__restrict source, std::size_t from,
                        std::size_t width)
{
    for (std::size_t j = from; j < width; ++j)
        target[j] -= source[j];
}
} // namespace

bool SolveEquation(int n, std::vector<double> &Matrix)
{
    if (n < 0 || Matrix.size() != static_cast<std::size_t>(n) * static_cast<std::size_t>(n + 1))
        return false;
    const std::size_t N = static_cast<std::size_t>(n);
    const std::size_t W = N + 1;
    double *const M = Matrix.data();
    auto row = [M, W](std::size_t i) { return M + i * W; };

    // Forward pass: pivot, normalise the rows below, eliminate column k from them.
    for (std::size_t k = 0; k + 1 < N; ++k) {
        std::size_t p = k;
        for (std::size_t i = k + 1; i < N; ++i)
            if (std::fabs(row(i)[k]) > std::fabs(row(p)[k]))
                p = i;
        if (p != k)
            std::swap_ranges(row(k) + k, row(k) + W, row(p) + k);
        for (std::size_t i = k; i < N; ++i) {
            const double d = row(i)[k];
            if (d != 0 && d != 1)
                DivideRow(row(i), k, W, d);
        }
        for (std::size_t i = k + 1; i < N; ++i) {
            if (row(i)[k] != 0) {
                SubtractRow(row(i), row(k), k + 1, W);
                row(i)[k] = 0;
            }
        }
    }

    // Backward pass: for each non-zero diagonal, normalise the rows above by their column-k value
    // and clear column k from them.
    for (std::size_t k = N; k-- > 0;) {
        if (row(k)[k] == 0)
            continue;
        for (std::size_t i = k + 1; i-- > 0;) {
            const double d = row(i)[k];
            if (d != 0 && d != 1)
                DivideRow(row(i), i, W, d);
        }
        for (std::size_t i = k; i-- > 0;)
            if (row(i)[k] != 0)
                SubtractRow(row(i), row(k), k, W);
    }

    // Identity check of the left block; a non-finite solution counts as no solution.
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const double *r = row(i);
        for (std::size_t j = 0; j < N; ++j)
            if (i == j ? (r[j] == 0 || !std::isfinite(r[j])) : r[j] != 0)
                ++wrong;
        if (!std::isfinite(r[N]))
            ++wrong;
    }
    return wrong == 0;
}
} // namespace CostEquation
