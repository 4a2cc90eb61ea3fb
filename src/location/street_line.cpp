// BuildStreetLine and its alias table.
#include "location/street_line.h"

#include <cstring>
#include <iterator>
#include <string>

#include "text/bounded_text.h"
#include "host/natives.h"
#include "location/name_index.h"

struct StreetAlias {
    constexpr StreetAlias(const char* host, const char* shown)
        : hostName(host), alias(shown), hostNameLength(std::char_traits<char>::length(host)) {}
    const char* hostName;
    const char* alias;
    size_t hostNameLength;
};

// Host street name -> name shown on the panel. First match wins; order matters: the second
// "Davis Ave" row is reached only through the split below.
static constexpr StreetAlias kStreetAliases[] = {
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
};
static_assert(std::size(kStreetAliases) == 45, "alias table has 45 rows");

constexpr size_t kLongestHostName = 26;
static constexpr auto kAliasIndex =
    BuildNameIndex<kLongestHostName>(kStreetAliases, &StreetAlias::hostNameLength, 0);
static_assert(kAliasIndex.size() == std::size(kStreetAliases), "every alias row is indexed");

// West of this x, Davis Ave carries its route tag (the alias of the row after its own).
constexpr float kDavisAveSplitX = -373.38f;
constexpr const char* kDavisAve = "Davis Ave";

constexpr size_t kNameCapacity = 32;
static char streetLine[128];

// Replaces the name by its alias in the table's own letter case; a name in no row stays as it is.
static void ApplyAlias(char (&name)[kNameCapacity], float x) {
    const size_t length = std::strlen(name);
    if (length > kLongestHostName) return;
    for (size_t i = kAliasIndex.start[length]; i < kAliasIndex.start[length + 1]; ++i) {
        const size_t row = kAliasIndex.rows[i];
        if (!TextEqualsIgnoringCase(name, kStreetAliases[row].hostName)) continue;
        const bool tagged = TextEqualsIgnoringCase(name, kDavisAve) && x < kDavisAveSplitX &&
                            row + 1 < std::size(kStreetAliases);
        CopyText(name, kStreetAliases[tagged ? row + 1 : row].alias);
        return;
    }
}

const char* BuildStreetLine(int32_t ped) {
    const NativeVector3 position = GetEntityCoords(ped);
    uint32_t streetHash = 0;
    uint32_t crossingHash = 0;
    GetStreetHashesAt(position.x, position.y, position.z, &streetHash, &crossingHash);

    char street[kNameCapacity] = {};
    char crossing[kNameCapacity] = {};
    CopyText(street, GetStreetNameFromHash(streetHash));
    CopyText(crossing, GetStreetNameFromHash(crossingHash));
    ApplyAlias(street, position.x);
    ApplyAlias(crossing, position.x);

    if (crossingHash != 0 && !TextEqualsIgnoringCase(street, crossing)) {
        JoinText(streetLine, {street, "   /   ~y~", crossing, "~w~"});
    } else {
        JoinText(streetLine, {"~y~", street, "~w~"});
    }
    return streetLine;
}
