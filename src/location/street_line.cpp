// BuildStreetLine and its alias table.
#include "location/street_line.h"

#include <iterator>
#include <string>

#include "host/natives.h"
#include "location/name_index.h"
#include "text/bounded_text.h"

struct StreetAlias {
    const char* hostName;
    const char* alias;
};

// Host street name -> name shown on the panel. First match wins; order matters: the second
// "Davis Ave" row is reached only through the split below.
static constexpr StreetAlias kStreetAliases[] = {
    // clang-format off
    {"Alta St",                    "Alta St  [SR-19]"},
    {"Baytree Canyon Rd",          "Baytree Canyon Rd  [SR-19]"},
    {"Boulevard Del Perro",        "Del Perro Blvd  [SR-17]"},
    {"Davis Ave",                  "Davis Ave"},
    {"Davis Ave",                  "Davis Ave  [SR-19]"},
    {"Del Perro Fwy",              "Interstate 2"},
    {"Dutch London St",            "Dutch London St  [SR-22]"},
    {"East Galileo Ave",           "E Galileo Ave"},
    {"East Joshua Road",           "E Joshua Rd"},
    {"East Mirror Dr",             "E Mirror Dr"},
    {"Eclipse Blvd",               "E Eclipse Blvd  [SR-18]"},
    {"El Rancho Blvd",             "El Rancho Blvd  [SR-18]"},
    {"Elysian Fields Fwy",         "US Route 20"},
    {"Galileo Park",               "W Galileo Ave"},
    {"Grapeseed Main St",          "Main St"},
    {"Great Ocean Hwy",            "US Route 1"},
    {"Hawick Ave",                 "Hawick Ave  [SR-17]"},
    {"Joshua Rd",                  "W Joshua Rd"},
    {"La Puerta Fwy",              "Interstate 5"},
    {"Los Santos Freeway",         "Interstate 1"},
    {"Mirror Park Blvd",           "Mirror Park Blvd  [SR-18]"},
    {"North Archer Avenue",        "N Archer Ave"},
    {"North Calafia Way",          "N Calafia Way"},
    {"North Conker Avenue",        "N Conker Ave"},
    {"North Rockford Dr",          "Rockford Dr  [SR-14]"},
    {"North Sheldon Avenue",       "N Sheldon Ave"},
    {"Olympic Fwy",                "Interstate 4"},
    {"Palomino Fwy",               "US Route 15"},
    {"Popular St",                 "Popular St  [SR-17]"},
    {"Route 68",                   "US Route 68"},
    {"Roy Lowenstein Blvd",        "Lowenstein Blvd"},
    {"Runway1",                    "Manoeuvering Area"},
    {"Senora Fwy",                 "US Route 13"},
    {"South Arsenal St",           "S Arsenal St"},
    {"South Boulevard Del Perro",  "S Del Perro Blvd"},
    {"South Mo Milton Dr",         "S Mo Milton Dr"},
    {"South Rockford Dr",          "Rockford Dr  [SR-14]"},
    {"South Shambles St",          "S Shambles St"},
    {"Tongva Dr",                  "US Route 11"},
    {"Utopia Gardens",             "Utopia Gardens St"},
    {"Vinewood Blvd",              "Vinewood Blvd  [SR-18]"},
    {"West Eclipse Blvd",          "W Eclipse Blvd  [SR-18]"},
    {"West Galileo Ave",           "W Galileo Ave"},
    {"West Mirror Drive",          "W Mirror Dr"},
    {"Zancudo Grande Valley",      "Zancudo Gde Vly Rd"},
    // clang-format on
};
static_assert(std::size(kStreetAliases) == 45, "alias table has 45 rows");

static constexpr auto kAliasIndex = BuildNameIndex<128>(kStreetAliases, &StreetAlias::hostName, 0);
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
