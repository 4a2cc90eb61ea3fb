// Parsing the game's zone boxes and road network from their tab-separated text.
#include "sim/world/san_andreas.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <unordered_map>

namespace sim {

namespace {

// One tab-separated text, line by line, each line cut into its fields. The first line is the
// header ("# ..."); a blank last line is the file's final line end.
class TsvReader {
public:
    TsvReader(std::string_view text, const char* file) : rest_(text), file_(file) {}

    // The next data line's fields; false at the end.
    bool Next(std::vector<std::string_view>& fields) {
        while (!rest_.empty()) {
            const size_t end = rest_.find('\n');
            std::string_view line = rest_.substr(0, end);
            rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
            ++line_;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (line.empty() || line.front() == '#') continue;
            fields.clear();
            for (size_t start = 0;;) {
                const size_t tab = line.find('\t', start);
                fields.push_back(line.substr(start, tab == std::string_view::npos ? line.npos : tab - start));
                if (tab == std::string_view::npos) break;
                start = tab + 1;
            }
            return true;
        }
        return false;
    }

    Status Problem(const std::string& what) const {
        return Failure(std::string(file_) + ":" + std::to_string(line_) + ": " + what);
    }

private:
    std::string_view rest_;
    const char* file_;
    int line_ = 0;
};

// A plain decimal ([-]digits[.digits]) of at most 15 digits is its digits over a power of ten that
// a double holds exactly, so one division rounds it as strtod does; the road positions are all so.
bool ParsePlainDecimal(std::string_view text, double& value) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    uint64_t digits = 0;
    int count = 0, fraction = -1;
    for (const char c : text) {
        if (c == '.' && fraction < 0 && count > 0) {
            fraction = 0;
            continue;
        }
        if (c < '0' || c > '9' || ++count > 15) return false;
        digits = digits * 10 + static_cast<uint64_t>(c - '0');
        if (fraction >= 0) ++fraction;
    }
    if (count == 0 || fraction == 0) return false;
    value = static_cast<double>(digits) / kPowersOfTen[fraction < 0 ? 0 : fraction];
    if (negative) value = -value;
    return true;
}

bool ParseFloat(std::string_view text, float& value) {
    double plain = 0;
    if (ParsePlainDecimal(text, plain)) {
        value = static_cast<float>(plain);
        return true;
    }
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || errno == ERANGE || !std::isfinite(parsed)) return false;
    value = static_cast<float>(parsed);
    return true;
}

bool ParseCount(std::string_view text, uint64_t limit, uint64_t& value) {
    if (text.empty() || text.size() > 10) return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    return value <= limit;
}

Status ParseZones(std::string_view text, SanAndreas& world) {
    TsvReader reader(text, "zones.tsv");
    std::unordered_map<std::string, size_t> zoneOf;
    std::vector<std::string_view> fields;
    while (reader.Next(fields)) {
        if (fields.size() != 8) return reader.Problem("expected 8 fields, found " + std::to_string(fields.size()));
        if (fields[0].empty()) return reader.Problem("a box without a zone code");
        ZoneBox box;
        float* corners[] = {&box.minX, &box.minY, &box.minZ, &box.maxX, &box.maxY, &box.maxZ};
        for (size_t i = 0; i < 6; ++i) {
            if (!ParseFloat(fields[2 + i], *corners[i])) return reader.Problem("a corner that is not a number");
        }
        const std::string code(fields[0]);
        const auto [found, added] = zoneOf.emplace(code, world.zones.size());
        if (added) world.zones.push_back(Zone{code, std::string(fields[1]), {}});
        world.zones[found->second].boxes.push_back(box);
    }
    return {};
}

Status ParseRoads(std::string_view text, SanAndreas& world) {
    TsvReader reader(text, "roads.tsv");
    std::unordered_map<std::string_view, int32_t> streetOf;  // keys in the text, which outlives the parse
    std::vector<std::string_view> fields;
    static constexpr std::string_view kFlagLetters = "JFGBRW";
    while (reader.Next(fields)) {
        if (fields.size() != 5) return reader.Problem("expected 5 fields, found " + std::to_string(fields.size()));
        RoadNode node;
        if (!ParseFloat(fields[0], node.x) || !ParseFloat(fields[1], node.y) || !ParseFloat(fields[2], node.z)) {
            return reader.Problem("a position that is not a number");
        }
        if (!fields[3].empty()) {
            const auto [found, added] = streetOf.emplace(fields[3], static_cast<int32_t>(world.streets.size()));
            if (added) world.streets.emplace_back(fields[3]);
            node.street = found->second;
        }
        for (const char letter : fields[4]) {
            const size_t bit = kFlagLetters.find(letter);
            if (bit == std::string_view::npos) return reader.Problem(std::string("an unknown flag '") + letter + "'");
            node.flags = static_cast<uint8_t>(node.flags | (1u << bit));
        }
        world.nodes.push_back(node);
    }
    return {};
}

Status ParseLinks(std::string_view text, SanAndreas& world) {
    TsvReader reader(text, "links.tsv");
    std::vector<std::string_view> fields;
    const uint64_t lastNode = world.nodes.empty() ? 0 : world.nodes.size() - 1;
    while (reader.Next(fields)) {
        if (fields.size() != 4) return reader.Problem("expected 4 fields, found " + std::to_string(fields.size()));
        uint64_t a = 0, b = 0, forward = 0, backward = 0;
        if (!ParseCount(fields[0], lastNode, a) || !ParseCount(fields[1], lastNode, b) || a >= b) {
            return reader.Problem("a link that does not join two nodes a < b of roads.tsv");
        }
        if (!ParseCount(fields[2], 255, forward) || !ParseCount(fields[3], 255, backward)) {
            return reader.Problem("a lane count that is not 0 to 255");
        }
        world.links.push_back(RoadLink{static_cast<uint32_t>(a), static_cast<uint32_t>(b),
                                       static_cast<uint8_t>(forward), static_cast<uint8_t>(backward)});
    }
    return {};
}

}  // namespace

Result<SanAndreas> ParseSanAndreas(const SanAndreasTexts& texts) {
    SanAndreas world;
    if (Status zones = ParseZones(texts.zones, world); !zones) return zones;
    if (Status roads = ParseRoads(texts.roads, world); !roads) return roads;
    if (Status links = ParseLinks(texts.links, world); !links) return links;
    return world;
}

const SanAndreas& TheSanAndreas() {
    static const SanAndreas world = [] {
        Result<SanAndreas> parsed = ParseSanAndreas(BuiltInSanAndreasTexts());
        if (!parsed) StopOnDefect("the built-in San Andreas: " + parsed.error());
        return std::move(*parsed);
    }();
    return world;
}

}  // namespace sim
