// The alias table: the host's street names and the names the panel shows for them. A table of its
// own, so the tests can hold every host name to the game's streets.
#pragma once

struct StreetAlias {
    const char* hostName;
    const char* alias;
};

// Host street name -> name shown on the panel; every host name is a street name of the game (in
// an English game). First match wins; order matters: the second "Davis Ave" row is reached only
// through the street line's Davis Ave split.
inline constexpr StreetAlias kStreetAliases[] = {
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
    {"North Archer Ave",           "N Archer Ave"},
    {"North Calafia Way",          "N Calafia Way"},
    {"North Conker Ave",           "N Conker Ave"},
    {"North Rockford Dr",          "Rockford Dr  [SR-14]"},
    {"North Sheldon Ave",          "N Sheldon Ave"},
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
