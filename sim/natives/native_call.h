// One native call as the simulated host sees it: the pushed argument slots and the result slots
// the plug-in reads, with typed accessors for the handlers.
#pragma once

#include <cstdint>
#include <cstring>

namespace sim {

constexpr int kMaxNativeArgs = 16;

struct NativeCall {
    uint64_t hash = 0;
    uint64_t args[kMaxNativeArgs] = {};
    int argCount = 0;
    uint64_t result[3] = {};

    int32_t Int(int i) const { return static_cast<int32_t>(static_cast<uint32_t>(args[i])); }
    uint32_t Uint(int i) const { return static_cast<uint32_t>(args[i]); }
    bool Bool(int i) const { return (args[i] & 0xFF) != 0; }
    float Float(int i) const {
        const uint32_t bits = static_cast<uint32_t>(args[i]);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    const char* Text(int i) const { return reinterpret_cast<const char*>(static_cast<uintptr_t>(args[i])); }
    template <typename T>
    T* Pointer(int i) const {
        return reinterpret_cast<T*>(static_cast<uintptr_t>(args[i]));
    }

    void ReturnInt(int32_t v) { result[0] = static_cast<uint32_t>(v); }
    void ReturnUint(uint32_t v) { result[0] = v; }
    void ReturnByte(uint8_t v) { result[0] = v; }
    void ReturnBool(bool v) { result[0] = v ? 1 : 0; }
    void ReturnFloat(float v) { result[0] = FloatSlot(v); }
    void ReturnText(const char* text) { result[0] = reinterpret_cast<uintptr_t>(text); }
    void ReturnVector(float x, float y, float z) {
        result[0] = FloatSlot(x);
        result[1] = FloatSlot(y);
        result[2] = FloatSlot(z);
    }
    static uint64_t FloatSlot(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
};

}  // namespace sim
