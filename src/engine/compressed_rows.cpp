#include "engine/compressed_rows.h"

namespace Tavex {

CompressedRowsBuilder::CompressedRowsBuilder(std::size_t rows, std::size_t columns,
                                             std::size_t expectedEntries) {
    m_.rows = rows;
    m_.columns = columns;
    m_.rowStart.assign(rows + 2, 0);
    m_.col.reserve(expectedEntries + 1);
    m_.val.reserve(expectedEntries + 1);
    m_.col.push_back(0);
    m_.val.push_back(0.0);
}

void CompressedRowsBuilder::Append(std::uint32_t column, double value) {
    m_.col.push_back(column);
    m_.val.push_back(value);
}

void CompressedRowsBuilder::EndRow() {
    if (row_ <= m_.rows)
        m_.rowStart[++row_] = m_.col.size() - 1;
}

CompressedRows CompressedRowsBuilder::Finish() {
    m_.capacity = m_.col.size() - 1;
    return std::move(m_);
}

CompressedRows StackRows(const std::vector<CompressedRows>& parts, std::size_t columns) {
    CompressedRows m;
    m.columns = columns;
    std::size_t stored = 0;
    for (const CompressedRows& part : parts) {
        m.rows += part.rows;
        stored += part.Stored();
    }
    m.capacity = stored;
    m.rowStart.assign(m.rows + 2, 0);
    m.col.reserve(stored + 1);
    m.val.reserve(stored + 1);
    m.col.push_back(0);
    m.val.push_back(0.0);
    std::size_t row = 0;
    for (const CompressedRows& part : parts) {
        const std::size_t offset = m.col.size() - 1;
        for (std::size_t r = 1; r <= part.rows; ++r)
            m.rowStart[row + r + 1] = offset + part.rowStart[r + 1];
        row += part.rows;
        m.col.insert(m.col.end(), part.col.begin() + 1, part.col.end());
        m.val.insert(m.val.end(), part.val.begin() + 1, part.val.end());
    }
    return m;
}

CompressedRows Transpose(const CompressedRows& m) {
    CompressedRows t;
    t.rows = m.columns;
    t.columns = m.rows;
    const std::size_t stored = m.Stored();
    t.capacity = stored;
    t.rowStart.assign(t.rows + 2, 0);
    t.col.assign(stored + 1, 0);
    t.val.assign(stored + 1, 0.0);
    // Count the entries of every column, then turn the counts into starts.
    for (std::size_t e = 1; e <= stored; ++e)
        ++t.rowStart[m.col[e] + 1];
    for (std::size_t r = 1; r <= t.rows; ++r)
        t.rowStart[r + 1] += t.rowStart[r];
    // Place the entries; rows of m are visited in order, so every row of the
    // transpose comes out ascending.
    std::vector<std::size_t> next(t.rowStart.begin(), t.rowStart.end());
    for (std::size_t r = 1; r <= m.rows; ++r)
        for (std::size_t e = m.Begin(r); e < m.End(r); ++e) {
            const std::size_t at = ++next[m.col[e]];
            t.col[at] = static_cast<std::uint32_t>(r);
            t.val[at] = m.val[e];
        }
    return t;
}

void Multiply(const CompressedRows& m, const std::vector<double>& x, std::vector<double>& y) {
    y.assign(m.rows + 1, 0.0);
    for (std::size_t r = 1; r <= m.rows; ++r) {
        double sum = 0.0;
        for (std::size_t e = m.Begin(r); e < m.End(r); ++e)
            sum += m.val[e] * x[m.col[e]];
        y[r] = sum;
    }
}

void MultiplyTransposed(const CompressedRows& m, const std::vector<double>& x,
                        std::vector<double>& y) {
    y.assign(m.columns + 1, 0.0);
    for (std::size_t r = 1; r <= m.rows; ++r) {
        const double xr = x[r];
        if (xr == 0.0)
            continue;
        for (std::size_t e = m.Begin(r); e < m.End(r); ++e)
            y[m.col[e]] += m.val[e] * xr;
    }
}

} // namespace Tavex
