// A compile-time hash index of a name table, for look-ups that ignore ASCII letter case. A key's
// slot comes from its length and its first and last characters, folded to lower case: cheap to
// compute, and enough to keep the keys of the plug-in's tables apart (the index records its longest
// chain, which the tables bound). A taken slot passes a key on to the next one. A key equal to an
// earlier row's key (ignoring case) is left out, so a look-up finds the first matching row of the
// table, as a scan in table order would. The look-up works at compile time too, so the files that
// own the tables hold it to such a scan for every key and its near misses (EveryVariantAgrees).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "text/bounded_text.h"

constexpr size_t FoldedCode(char c) { return static_cast<uint8_t>(LowerAscii(c)); }

constexpr size_t NameHash(const char* text, size_t length) {
    return length == 0 ? 0 : length * 961 + FoldedCode(text[0]) * 31 + FoldedCode(text[length - 1]);
}

// Equal ignoring ASCII letter case, both texts of the given length: a byte-for-byte match, the
// usual case, is settled by one comparison (memcmp at run time).
constexpr bool SameNameIgnoringCase(const char* a, const char* b, size_t length) {
    return std::char_traits<char>::compare(a, b, length) == 0 || TextEqualsIgnoringCase(a, b);
}

template <size_t Slots>
struct NameIndex {
    static_assert((Slots & (Slots - 1)) == 0, "a power of two: a hash is cut to a slot by a mask");
    std::array<uint8_t, Slots> rows{};     // per slot: 1 + the number of the row whose key lies here, or 0
    std::array<uint8_t, Slots> lengths{};  // per slot: the length of that key
    size_t rowCount = 0;                   // rows indexed
    size_t longestChain = 0;               // the most slots a look-up of an indexed key visits

    static constexpr size_t SlotOf(size_t hash) { return hash & (Slots - 1); }
    static constexpr size_t NextSlot(size_t slot) { return (slot + 1) & (Slots - 1); }
};

// Indexes the rows from firstRow on by their key member.
template <size_t Slots, typename Row, size_t Rows>
constexpr NameIndex<Slots> BuildNameIndex(const Row (&table)[Rows], const char* Row::*key, size_t firstRow) {
    static_assert(Slots >= 2 * Rows, "half the slots at least stay free, so a chain ends soon");
    static_assert(Rows < 255, "a row number fits a slot");
    NameIndex<Slots> index{};
    for (size_t row = firstRow; row < Rows; ++row) {
        const char* name = table[row].*key;
        const size_t length = std::char_traits<char>::length(name);
        size_t slot = index.SlotOf(NameHash(name, length));
        size_t chain = 1;
        bool earlierRowHasKey = false;
        for (; index.rows[slot] != 0; slot = index.NextSlot(slot), ++chain) {
            earlierRowHasKey = earlierRowHasKey || TextEqualsIgnoringCase(table[index.rows[slot] - 1].*key, name);
        }
        if (earlierRowHasKey) continue;
        index.rows[slot] = static_cast<uint8_t>(row + 1);
        index.lengths[slot] = static_cast<uint8_t>(length);
        ++index.rowCount;
        if (chain > index.longestChain) index.longestChain = chain;
    }
    return index;
}

// The first row whose key equals text (of the given length) ignoring case, or -1 for none.
template <size_t Slots, typename Row, size_t Rows>
constexpr int FindNameRow(const NameIndex<Slots>& index, const Row (&table)[Rows], const char* Row::*key,
                          const char* text, size_t length) {
    for (size_t slot = index.SlotOf(NameHash(text, length));; slot = index.NextSlot(slot)) {
        const uint8_t entry = index.rows[slot];
        if (entry == 0) return -1;
        if (index.lengths[slot] == length && SameNameIgnoringCase(text, table[entry - 1].*key, length)) {
            return entry - 1;
        }
    }
}

// The length of the table's longest key.
template <typename Row, size_t Rows>
constexpr size_t LongestName(const Row (&table)[Rows], const char* Row::*key) {
    size_t longest = 0;
    for (const Row& row : table) {
        const size_t length = std::char_traits<char>::length(row.*key);
        if (length > longest) longest = length;
    }
    return longest;
}

// ---- holding a look-up to a scan, at compile time ----

// The first row from firstRow on whose key equals text ignoring case, or -1: what a look-up of the
// table must find.
template <typename Row, size_t Rows>
constexpr int ScanNameRow(const Row (&table)[Rows], const char* Row::*key, size_t firstRow, const char* text) {
    for (size_t row = firstRow; row < Rows; ++row) {
        if (TextEqualsIgnoringCase(table[row].*key, text)) return static_cast<int>(row);
    }
    return -1;
}

// A key's near misses end in these or in a code within kNearCodes of its last letter's (letters in
// both cases, as the look-up folds them). The hash takes the last letter's code, so near codes land
// in neighbouring slots, where a look-up that compares too little would take the key's row.
constexpr char kVariantLetters[] = "azAZ09 ";
constexpr int kNearCodes = 3;
constexpr size_t kVariantCapacity = 64;

// Calls agrees(text, length) for the key, for the key with its last letter replaced by each of its
// near-miss letters or with one of them added, and for the key without its last letter. True when
// every call returned true.
template <typename Agrees>
constexpr bool EveryVariantAgrees(const char* key, Agrees agrees) {
    const size_t length = std::char_traits<char>::length(key);
    if (length == 0 || length + 2 > kVariantCapacity) return false;
    char text[kVariantCapacity] = {};
    for (size_t i = 0; i < length; ++i) text[i] = key[i];
    if (!agrees(text, length)) return false;

    char letters[sizeof kVariantLetters + 4 * kNearCodes + 2] = {};
    size_t count = 0;
    for (size_t i = 0; kVariantLetters[i] != '\0'; ++i) letters[count++] = kVariantLetters[i];
    const int last = static_cast<uint8_t>(LowerAscii(key[length - 1]));
    for (int code = last - kNearCodes; code <= last + kNearCodes; ++code) {
        if (code <= 0 || code > 126) continue;
        letters[count++] = static_cast<char>(code);
        if (code >= 'a' && code <= 'z') letters[count++] = static_cast<char>(code - 'a' + 'A');
    }
    for (size_t i = 0; i < count; ++i) {
        text[length - 1] = letters[i];  // replaced
        if (!agrees(text, length)) return false;
        text[length - 1] = key[length - 1];
        text[length] = letters[i];  // added
        if (!agrees(text, length + 1)) return false;
        text[length] = '\0';
    }
    text[length - 1] = '\0';  // dropped
    return agrees(text, length - 1);
}

// One row's check, a constant of its own: each row has the compiler's whole evaluation budget.
template <bool (*Check)(size_t), size_t Row>
constexpr bool kRowHolds = Check(Row);

// Check holds for every row of a table of sizeof...(RowNumbers) rows (std::make_index_sequence).
template <bool (*Check)(size_t), size_t... RowNumbers>
constexpr bool EveryRowHolds(std::index_sequence<RowNumbers...>) {
    return (kRowHolds<Check, RowNumbers> && ...);
}
