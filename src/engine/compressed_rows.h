// The compressed sparse form of the engine's matrices.
//
// Storage convention, 1-based like every table of the kernel: rows 1..n; the
// entries of row r are e = rowStart[r] + 1 .. rowStart[r + 1], each with its
// column col[e], ascending within a row, and its value val[e]. rowStart has
// n + 2 elements (rowStart[1] = 0, rowStart[n + 1] = the number of stored
// entries); col and val have one element per stored entry plus the unused
// element 0. capacity is the room the index array may take (the "total
// length" of the form), which the factor's memory budget sets.
#ifndef TAVEX_ENGINE_COMPRESSED_ROWS_H
#define TAVEX_ENGINE_COMPRESSED_ROWS_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tavex {

struct CompressedRows {
    std::size_t rows = 0;
    std::size_t columns = 0;
    std::size_t capacity = 0;
    std::vector<std::size_t> rowStart;
    std::vector<std::uint32_t> col;
    std::vector<double> val;

    std::size_t Stored() const { return rows == 0 ? 0 : rowStart[rows + 1]; }
    std::size_t Begin(std::size_t r) const { return rowStart[r] + 1; }
    std::size_t End(std::size_t r) const { return rowStart[r + 1] + 1; }
    // Frees the storage.
    void Clear() { *this = CompressedRows{}; }
};

// Builds a matrix row by row: Append the entries of the current row in
// ascending column order, then EndRow.
class CompressedRowsBuilder {
public:
    CompressedRowsBuilder(std::size_t rows, std::size_t columns, std::size_t expectedEntries = 0);
    void Append(std::uint32_t column, double value);
    void EndRow();
    // The finished matrix; every row must have been ended.
    CompressedRows Finish();

private:
    CompressedRows m_;
    std::size_t row_ = 1;
};

// The rows of the parts one after the other (all with the same columns).
// May throw std::bad_alloc.
CompressedRows StackRows(const std::vector<CompressedRows>& parts, std::size_t columns);

// The transpose (columns become rows), entries ascending in every row.
CompressedRows Transpose(const CompressedRows& m);

// y = M x for 1-based vectors.
void Multiply(const CompressedRows& m, const std::vector<double>& x, std::vector<double>& y);
// y = Mᵀ x for 1-based vectors.
void MultiplyTransposed(const CompressedRows& m, const std::vector<double>& x,
                        std::vector<double>& y);

} // namespace Tavex

#endif
