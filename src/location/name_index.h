// A compile-time index of a name table: its rows grouped by the length of their key, each group in
// table order. A lookup then compares only the rows that can match (same length) and still finds
// the first match of the table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

template <size_t Rows, size_t MaxLength>
struct NameIndex {
    std::array<uint8_t, Rows> rows{};              // row numbers, grouped by key length
    std::array<uint8_t, MaxLength + 2> start{};    // keys of length L: rows[start[L] .. start[L + 1])

    // Number of rows indexed; a key longer than MaxLength would be missing.
    constexpr size_t size() const { return start[MaxLength + 1]; }
};

// Indexes the rows from firstRow on by their keyLength member.
template <size_t MaxLength, typename Row, size_t Rows>
constexpr NameIndex<Rows, MaxLength> BuildNameIndex(const Row (&table)[Rows], size_t Row::*keyLength,
                                                    size_t firstRow) {
    NameIndex<Rows, MaxLength> index{};
    size_t next = 0;
    for (size_t length = 0; length <= MaxLength; ++length) {
        index.start[length] = static_cast<uint8_t>(next);
        for (size_t row = firstRow; row < Rows; ++row) {
            if (table[row].*keyLength == length) index.rows[next++] = static_cast<uint8_t>(row);
        }
    }
    index.start[MaxLength + 1] = static_cast<uint8_t>(next);
    return index;
}
