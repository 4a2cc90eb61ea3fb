// The PNG file layout: an 8-byte signature, then chunks of length (4 bytes, big-endian), type (4),
// data and a CRC-32 of type and data. The header chunk IHDR comes first and holds 13 bytes.
#include "tools/preview/png_file.h"

#include <cairo.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "sim/platform/files.h"

namespace preview {

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kHeaderChunkBytes = 4 + 4 + 13 + 4;
constexpr size_t kHeaderEnd = sizeof kSignature + kHeaderChunkBytes;  // where our text chunk goes
constexpr size_t kMaxTextChunkBytes = 4 + 4 + 79 + 1 + 256 + 4;       // read back at most this

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string BigEndian(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

uint32_t ReadBigEndian(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
           static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
}

std::string TextChunk(const PngText& text) {
    const std::string typeAndData = "tEXt" + text.keyword + '\0' + text.text;
    return BigEndian(static_cast<uint32_t>(typeAndData.size() - 4)) + typeAndData + BigEndian(Crc32(typeAndData));
}

// Where cairo's PNG bytes go: the file, with the text chunk put in once the header has passed.
struct Sink {
    FILE* file;
    std::string chunk;
    size_t written = 0;
    int error = 0;

    bool Put(const unsigned char* bytes, size_t count) {
        if (count == 0 || error != 0) return error == 0;
        if (std::fwrite(bytes, 1, count, file) != count) error = errno;
        written += count;
        return error == 0;
    }
};

cairo_status_t WriteToSink(void* closure, const unsigned char* data, unsigned int length) {
    Sink& sink = *static_cast<Sink*>(closure);
    const size_t head = sink.written < kHeaderEnd ? std::min<size_t>(length, kHeaderEnd - sink.written) : 0;
    bool ok = sink.Put(data, head);
    if (ok && sink.written == kHeaderEnd && !sink.chunk.empty()) {
        ok = sink.Put(reinterpret_cast<const unsigned char*>(sink.chunk.data()), sink.chunk.size());
        sink.written = kHeaderEnd;  // counts cairo's bytes only
        sink.chunk.clear();
    }
    ok = ok && sink.Put(data + head, length - head);
    return ok ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

}  // namespace

sim::Status WritePng(cairo_surface_t* surface, const std::string& path, const PngText* text) {
    Sink sink{std::fopen(path.c_str(), "wb"), text != nullptr ? TextChunk(*text) : std::string()};
    if (sink.file == nullptr) return sim::Failure("cannot write " + path + ": " + std::strerror(errno));
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface, WriteToSink, &sink);
    if (std::fclose(sink.file) != 0 && sink.error == 0) sink.error = errno;
    if (sink.error != 0) return sim::Failure("cannot write " + path + ": " + std::strerror(sink.error));
    if (status != CAIRO_STATUS_SUCCESS)
        return sim::Failure("cannot write " + path + ": " + cairo_status_to_string(status));
    return {};
}

std::optional<std::string> PngTextOf(const std::string& path, const std::string& keyword) {
    if (!sim::CheckRegularFile(path)) return std::nullopt;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    unsigned char bytes[kHeaderEnd + kMaxTextChunkBytes];
    const size_t got = std::fread(bytes, 1, sizeof bytes, file);
    std::fclose(file);
    if (got < kHeaderEnd + 12 || std::memcmp(bytes, kSignature, sizeof kSignature) != 0 ||
        std::memcmp(bytes + 12, "IHDR", 4) != 0 || std::memcmp(bytes + kHeaderEnd + 4, "tEXt", 4) != 0) {
        return std::nullopt;
    }
    const uint32_t length = ReadBigEndian(bytes + kHeaderEnd);
    if (length > got - kHeaderEnd - 12) return std::nullopt;
    const std::string data(reinterpret_cast<const char*>(bytes + kHeaderEnd + 8), length);
    const size_t split = data.find('\0');
    if (split == std::string::npos || data.compare(0, split, keyword) != 0 || split != keyword.size())
        return std::nullopt;
    return data.substr(split + 1);
}

}  // namespace preview
