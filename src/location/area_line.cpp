// BuildAreaLine and its zone table.
#include "location/area_line.h"

#include <iterator>
#include <string>

#include "host/natives.h"
#include "location/name_index.h"
#include "text/bounded_text.h"

struct ZoneRow {
    const char* code;
    const char* displayName;
    const char* region;
};

// Host zone code -> display name and region. Row 0 is the fallback and is never compared; the
// lookup takes the first match among the other rows (so the repeated "TongVaH" row is never used).
// Every zone code of the game has a row. The texts are the table's own, often shorter than the
// game's labels; a place the game names is spelt as the game spells it.
static constexpr ZoneRow kZones[] = {
    // clang-format off
    {"NULL",      "Area N/A",                "San Andreas"},
    {"AirP",      "Los Santos Int'l",        "Metro Los Santos"},
    {"Alamo",     "Alamo Sea",               "Blaine County"},
    {"Alta",      "Alta",                    "Metro Los Santos"},
    {"ArmyB",     "AFB Zancudo",             "Blaine County"},
    {"BanhamCa",  "Banham Canyon",           "Los Santos County"},
    {"Banning",   "Banning",                 "Metro Los Santos"},
    {"Baytre",    "Baytree Canyon",          "Los Santos County"},
    {"Beach",     "Vespucci Beach",          "Metro Los Santos"},
    {"BhamCa",    "Banham Canyon",           "Los Santos County"},
    {"BradP",     "Braddock Pass",           "Blaine County"},
    {"BradT",     "Braddock Tunnel",         "Blaine County"},
    {"Burton",    "Burton",                  "Metro Los Santos"},
    {"CANNY",     "Raton Canyon",            "Blaine County"},
    {"CCreak",    "Cassidy Creek",           "Blaine County"},
    {"CHIL",      "Vinewood Hills",          "Los Santos County"},
    {"CHU",       "Chumash",                 "Los Santos County"},
    {"CMSW",      "Chiliad Mtn State Wild",  "Blaine County"},
    {"CalafB",    "Calafia Bridge",          "Blaine County"},
    {"ChamH",     "Chamberlain Hills",       "Metro Los Santos"},
    {"Cypre",     "Cypress Flats",           "Metro Los Santos"},
    {"DTVine",    "Downtown Vinewood",       "Metro Los Santos"},
    {"Davis",     "Davis",                   "Metro Los Santos"},
    {"DeLBe",     "Del Perro Beach",         "Metro Los Santos"},
    {"DelPe",     "Del Perro",               "Metro Los Santos"},
    {"DelSol",    "Puerto Del Sol",          "Metro Los Santos"},
    {"Desrt",     "Gr Senora Desert",        "Blaine County"},
    {"Downt",     "Downtown",                "Metro Los Santos"},
    {"EBuro",     "El Burro Hts",            "Metro Los Santos"},
    {"ELGorL",    "El Gordo Lighthouse",     "Blaine County"},
    {"East_V",    "East Vinewood",           "Metro Los Santos"},
    {"Elysian",   "Elysian Island",          "Metro Los Santos"},
    {"Galfish",   "Galilee",                 "Blaine County"},
    {"Galli",     "Galileo Park",            "Los Santos County"},
    {"Golf",      "Golf Club",               "Metro Los Santos"},
    {"GrapeS",    "Grapeseed",               "Blaine County"},
    {"Greatc",    "Great Chaparral",         "Los Santos County"},
    {"Harmo",     "Harmony",                 "Blaine County"},
    {"Hawick",    "Hawick",                  "Metro Los Santos"},
    {"Hors",      "Vinewood Racetrack",      "Metro Los Santos"},
    {"HumLab",    "Humane Labs",             "Los Santos County"},
    {"Jail",      "Bolingbroke Pen",         "Blaine County"},
    {"Koreat",    "Little Seoul",            "Metro Los Santos"},
    {"LAct",      "Land Act Reservoir",      "Los Santos County"},
    {"LDam",      "Land Act Dam",            "Los Santos County"},
    {"LMesa",     "La Mesa",                 "Metro Los Santos"},
    {"Lago",      "Lago Zancudo",            "Blaine County"},
    {"LegSqu",    "Legion Square",           "Metro Los Santos"},
    {"LosPuer",   "La Puerta",               "Metro Los Santos"},
    {"MTChil",    "Mount Chiliad",           "Blaine County"},
    {"MTGordo",   "Mount Gordo",             "Blaine County"},
    {"MTJose",    "Mount Josiah",            "Blaine County"},
    {"Mirr",      "Mirror Park",             "Metro Los Santos"},
    {"Morn",      "Morningwood",             "Metro Los Santos"},
    {"Movie",     "Backlot City",            "Metro Los Santos"},
    {"Murri",     "Murrieta Hts",            "Metro Los Santos"},
    {"NCHU",      "North Chumash",           "Blaine County"},
    {"Noose",     "NOOSE HQ",                "Los Santos County"},
    {"Observ",    "Galileo Observatory",     "Los Santos County"},
    {"Oceana",    "Pacific Ocean",           "San Andreas"},
    {"PBOX",      "Pillbox Hill",            "Metro Los Santos"},
    {"PBluff",    "Pacific Bluffs",          "Metro Los Santos"},
    {"PalCov",    "Paleto Cove",             "Blaine County"},
    {"PalFor",    "Paleto Forest",           "Blaine County"},
    {"PalHigh",   "Palomino Highlands",      "Los Santos County"},
    {"Paleto",    "Paleto Bay",              "Blaine County"},
    {"Palmpow",   "Palmer-T Pow Stn",        "Los Santos County"},
    {"ProcoB",    "Procopio Beach",          "Blaine County"},
    {"Prol",      "Ludendorff",              "North Yankton"},
    {"RANCHO",    "Rancho",                  "Metro Los Santos"},
    {"RGLEN",     "Richman Glen",            "Los Santos County"},
    {"RTRAK",     "Redwood Lights Track",    "Los Santos County"},
    {"Richm",     "Richman",                 "Metro Los Santos"},
    {"Rockf",     "Rockford Hills",          "Metro Los Santos"},
    {"SKID",      "Mission Row",             "Metro Los Santos"},
    {"STRAW",     "Strawberry",              "Metro Los Santos"},
    {"SanChia",   "San Chianski Mtn Rng",    "Blaine County"},
    {"Sandy",     "Sandy Shores",            "Blaine County"},
    {"Slab",      "Stab City",               "Blaine County"},
    {"Stad",      "Maze Bank Arena",         "Metro Los Santos"},
    {"TEXTI",     "Textile City",            "Metro Los Santos"},
    {"Tatamo",    "Tataviam Mtns",           "Los Santos County"},
    {"Termina",   "Terminal",                "Metro Los Santos"},
    {"TongVaH",   "Tongva Hills",            "Los Santos County"},
    {"TongVaH",   "Tongva Hills",            "Los Santos County"},
    {"TongvaV",   "Tongva Valley",           "Los Santos County"},
    {"VCana",     "Vespucci Canals",         "Metro Los Santos"},
    {"Vesp",      "Vespucci",                "Metro Los Santos"},
    {"Vine",      "Vinewood",                "Metro Los Santos"},
    {"WVine",     "West Vinewood",           "Metro Los Santos"},
    {"WindF",     "Ron Alt Wind Farm",       "Los Santos County"},
    {"ZP_ORT",    "Port of South LS",        "Metro Los Santos"},
    {"Zancudo",   "Zancudo River",           "Blaine County"},
    {"zQ_UAR",    "Davis Quartz Quarry",     "Los Santos County"},
    // The island lies off San Andreas, by another country's coast: the region names that country,
    // as North Yankton's row names its state. The host reports the code only while the island is
    // loaded.
    {"IsHeistZone", "Cayo Perico",           "Colombia"},
    // clang-format on
};
static_assert(std::size(kZones) == 95, "zone table has 95 rows");

constexpr size_t kFallbackZone = 0;
constexpr size_t kFirstZoneRow = 1;
static_assert(TextEqualsIgnoringCase(kZones[kFallbackZone].code, "NULL") &&
                  TextEqualsIgnoringCase(kZones[kFallbackZone].displayName, "Area N/A"),
              "row 0 is the fallback, the area no zone code names");

// Row 0 is only the fallback, so it is left out of the index.
static constexpr auto kZoneIndex = BuildNameIndex<256>(kZones, &ZoneRow::code, kFirstZoneRow);
static_assert(kZoneIndex.rowCount == std::size(kZones) - 2,
              "every row is indexed but the fallback and the second \"TongVaH\"");
static_assert(kZoneIndex.longestChain <= 5, "zone codes share slots only rarely");
constexpr size_t kLongestZoneCode = LongestName(kZones, &ZoneRow::code);

static char areaLine[64];

// The code is read in place, up to one character past the longest code: a longer one matches no
// row whatever follows.
static constexpr const ZoneRow& FindZone(const char* code) {
    if (code == nullptr) return kZones[kFallbackZone];
    size_t length = 0;
    while (length <= kLongestZoneCode && code[length] != '\0') ++length;
    if (length > kLongestZoneCode) return kZones[kFallbackZone];
    const int row = FindNameRow(kZoneIndex, kZones, &ZoneRow::code, code, length);
    return row < 0 ? kZones[kFallbackZone] : kZones[row];
}

// FindZone finds what a scan in table order finds (the fallback when no row past it matches), for
// every code and its near misses; those of the longest codes include codes one character longer.
constexpr bool ZoneLookUpAgrees(size_t row) {
    return EveryVariantAgrees(kZones[row].code, [](const char* text, size_t) {
        const int scanned = ScanNameRow(kZones, &ZoneRow::code, kFirstZoneRow, text);
        return &FindZone(text) == &kZones[scanned < 0 ? kFallbackZone : static_cast<size_t>(scanned)];
    });
}
static_assert(EveryRowHolds<ZoneLookUpAgrees>(std::make_index_sequence<std::size(kZones)>()),
              "the zone look-up finds the first row of each code, and the fallback for a near miss");

// A code longer than the longest is read no further than one character past the longest, and falls
// back: each longest code with a letter added, in an array with no room for a terminator (reading
// past its end is no constant expression).
constexpr bool LongerCodesFallBack() {
    for (const ZoneRow& zone : kZones) {
        if (std::char_traits<char>::length(zone.code) != kLongestZoneCode) continue;
        char code[kLongestZoneCode + 1] = {};
        for (size_t i = 0; i < kLongestZoneCode; ++i) code[i] = zone.code[i];
        code[kLongestZoneCode] = 'a';
        if (&FindZone(code) != &kZones[kFallbackZone]) return false;
    }
    return true;
}
static_assert(LongerCodesFallBack(), "a code longer than the longest falls back, read one character past the longest");

const char* BuildAreaLine(int32_t ped) {
    const NativeVector3 position = GetEntityCoords(ped);
    const ZoneRow& zone = FindZone(GetZoneCodeAt(position.x, position.y, position.z));
    JoinText(areaLine, {zone.displayName, ",  ", zone.region});
    return areaLine;
}
