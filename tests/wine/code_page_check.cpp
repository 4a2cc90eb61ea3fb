// Runs under Wine: holds our code page 1252 table (sim/ini/code_page_1252.h) to the system's own
// conversion in both directions. Every UTF-16 code unit goes through WideCharToMultiByte with the
// default flags, as the profile lookup's A function converts its results (best fit, '?' for the
// rest), and every byte through MultiByteToWideChar, as the system reads an 8-bit file. Prints each
// difference and fails on any.
// Usage: code-page-check
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "sim/ini/code_page_1252.h"

namespace {

constexpr UINT kCodePage = 1252;

int CompareUnits() {
    int differences = 0;
    for (uint32_t unit = 0; unit <= 0xFFFF; ++unit) {
        const WCHAR wide = static_cast<WCHAR>(unit);
        char bytes[8] = {};
        const int count = WideCharToMultiByte(kCodePage, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr);
        const auto ours = static_cast<uint8_t>(sim::CodePage1252Byte(static_cast<uint16_t>(unit)));
        if (count == 1 && static_cast<uint8_t>(bytes[0]) == ours) continue;
        std::printf("U+%04X: the system writes", static_cast<unsigned>(unit));
        for (int i = 0; i < count; ++i) std::printf(" %02X", static_cast<uint8_t>(bytes[i]));
        std::printf(", the table %02X\n", ours);
        ++differences;
    }
    return differences;
}

int CompareBytes() {
    int differences = 0;
    for (uint32_t byte = 0; byte <= 0xFF; ++byte) {
        const char narrow = static_cast<char>(byte);
        WCHAR wide[4] = {};
        const int count = MultiByteToWideChar(kCodePage, 0, &narrow, 1, wide, 4);
        const uint16_t ours = sim::CodePage1252Unit(static_cast<uint8_t>(byte));
        if (count == 1 && wide[0] == ours) continue;
        std::printf("byte %02X: the system reads", static_cast<unsigned>(byte));
        for (int i = 0; i < count; ++i) std::printf(" U+%04X", static_cast<unsigned>(wide[i]));
        std::printf(", the table U+%04X\n", ours);
        ++differences;
    }
    return differences;
}

}  // namespace

int main() {
    const int differences = CompareUnits() + CompareBytes();
    if (differences != 0) {
        std::printf("FAIL: %d of the table's conversions differ from the system's\n", differences);
        return 1;
    }
    std::printf("PASS: all 65536 code units and 256 bytes convert as the system converts them\n");
    return 0;
}
