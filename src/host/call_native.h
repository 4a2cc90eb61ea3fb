// CallNative: one host native call (init, one push per argument, call) with the host's marshalling.
// Arguments go into zeroed 64-bit slots; results are read from the slots at once and never kept.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "host/script_hook.h"

// The host's three-float vector: x, y and z in the low halves of three 8-byte slots. Used both as
// a result and as an out-parameter the host writes through.
struct NativeVector3 {
    float x;
    uint32_t xPad;
    float y;
    uint32_t yPad;
    float z;
    uint32_t zPad;
};
static_assert(sizeof(NativeVector3) == 24, "NativeVector3 spans three result slots");

namespace native_slot {

inline uint64_t From(int32_t value) { return static_cast<uint32_t>(value); }  // zero-extended
inline uint64_t From(uint32_t value) { return value; }
inline uint64_t From(bool value) { return value ? 1u : 0u; }
inline uint64_t From(float value) {  // the 32-bit pattern, not widened to double
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
template <typename T>
inline uint64_t From(T* pointer) {
    return reinterpret_cast<uintptr_t>(pointer);
}

inline float FloatAt(const uint64_t* slots, int index) {
    const uint32_t bits = static_cast<uint32_t>(slots[index]);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

template <typename R>
R Read(const uint64_t* slots) {
    if constexpr (std::is_same_v<R, bool>) {
        return (slots[0] & 0xFFu) != 0;
    } else if constexpr (std::is_same_v<R, uint8_t>) {
        return static_cast<uint8_t>(slots[0] & 0xFFu);
    } else if constexpr (std::is_same_v<R, int32_t>) {
        return static_cast<int32_t>(static_cast<uint32_t>(slots[0]));
    } else if constexpr (std::is_same_v<R, uint32_t>) {
        return static_cast<uint32_t>(slots[0]);
    } else if constexpr (std::is_same_v<R, float>) {
        return FloatAt(slots, 0);
    } else if constexpr (std::is_same_v<R, const char*>) {
        return reinterpret_cast<const char*>(static_cast<uintptr_t>(slots[0]));
    } else {
        static_assert(std::is_same_v<R, NativeVector3>, "unsupported native result type");
        NativeVector3 v{};
        v.x = FloatAt(slots, 0);
        v.y = FloatAt(slots, 1);
        v.z = FloatAt(slots, 2);
        return v;
    }
}

}  // namespace native_slot

template <typename R = void, typename... Args>
R CallNative(uint64_t hash, Args... args) {
    nativeInit(hash);
    (nativePush64(native_slot::From(args)), ...);
    const uint64_t* slots = nativeCall();
    if constexpr (!std::is_void_v<R>) return native_slot::Read<R>(slots);
}
