// BuildStreetLine and the look-up of its alias table.
#include "location/street_line.h"

#include <iterator>
#include <string>

#include "host/natives.h"
#include "location/name_index.h"
#include "location/street_aliases.h"
#include "text/bounded_text.h"

static_assert(std::size(kStreetAliases) == 45, "alias table has 45 rows");

static constexpr auto kAliasIndex = BuildNameIndex<256>(kStreetAliases, &StreetAlias::hostName, 0);
static_assert(kAliasIndex.rowCount == std::size(kStreetAliases) - 1,
              "every row is indexed but the second \"Davis Ave\"");
static_assert(kAliasIndex.longestChain <= 3, "host names share slots only rarely");
static_assert(LongestName(kStreetAliases, &StreetAlias::hostName) < 256, "a key's length fits the index");

// The index finds what a scan in table order finds, for every host name and its near misses.
constexpr bool AliasLookUpAgrees(size_t row) {
    return EveryVariantAgrees(kStreetAliases[row].hostName, [](const char* text, size_t length) {
        return FindNameRow(kAliasIndex, kStreetAliases, &StreetAlias::hostName, text, length) ==
               ScanNameRow(kStreetAliases, &StreetAlias::hostName, 0, text);
    });
}
static_assert(EveryRowHolds<AliasLookUpAgrees>(std::make_index_sequence<std::size(kStreetAliases)>()),
              "the alias index finds the first row of each host name, and no row for a near miss");

// West of this x, Davis Ave carries its route tag: the alias of the row after the one the look-up
// finds.
constexpr float kDavisAveSplitX = -373.38f;
constexpr const char* kDavisAve = "Davis Ave";
constexpr const char* kDavisAveRouteTag = "  [SR-19]";
constexpr size_t kDavisAveRow = static_cast<size_t>(ScanNameRow(kStreetAliases, &StreetAlias::hostName, 0, kDavisAve));

constexpr bool TextEndsWith(const char* text, const char* end) {
    const size_t length = std::char_traits<char>::length(text);
    const size_t endLength = std::char_traits<char>::length(end);
    return length >= endLength && std::char_traits<char>::compare(text + length - endLength, end, endLength) == 0;
}
static_assert(kDavisAveRow + 1 < std::size(kStreetAliases) &&
                  TextEqualsIgnoringCase(kStreetAliases[kDavisAveRow + 1].hostName, kDavisAve) &&
                  TextEndsWith(kStreetAliases[kDavisAveRow + 1].alias, kDavisAveRouteTag),
              "the row after the first \"Davis Ave\" is Davis Ave with its route tag");

constexpr size_t kNameCapacity = 32;
static char streetLine[128];

// Every alias fits a name buffer, so a name can stand for its alias without the copy changing it.
constexpr bool AliasesFitNameBuffer() {
    for (const StreetAlias& row : kStreetAliases) {
        if (std::char_traits<char>::length(row.alias) >= kNameCapacity) return false;
    }
    return true;
}
static_assert(AliasesFitNameBuffer(), "an alias would be cut in a name buffer");

// The name's alias in the table's own letter case, or the name itself when no row holds it.
static const char* AliasOf(const char* name, size_t length, float x) {
    const int found = FindNameRow(kAliasIndex, kStreetAliases, &StreetAlias::hostName, name, length);
    if (found < 0) return name;
    const size_t row = static_cast<size_t>(found);
    const bool tagged = row == kDavisAveRow && x < kDavisAveSplitX;
    return kStreetAliases[tagged ? row + 1 : row].alias;
}

const char* BuildStreetLine(int32_t ped) {
    const NativeVector3 position = GetEntityCoords(ped);
    uint32_t streetHash = 0;
    uint32_t crossingHash = 0;
    GetStreetHashesAt(position.x, position.y, position.z, &streetHash, &crossingHash);

    // The host's names, cut to a name buffer; then each one's alias.
    char streetName[kNameCapacity];
    char crossingName[kNameCapacity];
    const size_t streetLength = CopyText(streetName, GetStreetNameFromHash(streetHash));
    const size_t crossingLength = CopyText(crossingName, GetStreetNameFromHash(crossingHash));
    const char* street = AliasOf(streetName, streetLength, position.x);
    const char* crossing = AliasOf(crossingName, crossingLength, position.x);

    if (crossingHash != 0 && !TextEqualsIgnoringCase(street, crossing)) {
        JoinText(streetLine, {street, "   /   ~y~", crossing, "~w~"});
    } else {
        JoinText(streetLine, {"~y~", street, "~w~"});
    }
    return streetLine;
}
