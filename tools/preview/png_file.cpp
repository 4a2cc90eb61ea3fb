// The PNG file layout: an 8-byte signature, then chunks of length (4 bytes, big-endian), type (4),
// data and a CRC-32 of type and data. The header chunk IHDR comes first and holds 13 bytes.
#include "tools/preview/png_file.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "sim/platform/files.h"

namespace preview {

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kHeaderChunkBytes = 4 + 4 + 13 + 4;
constexpr size_t kHeaderEnd = sizeof kSignature + kHeaderChunkBytes;  // where our text chunk goes

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

std::string TextChunk(const PngText& text) {
    const std::string typeAndData = "tEXt" + text.keyword + '\0' + text.text;
    return BigEndian(static_cast<uint32_t>(typeAndData.size() - 4)) + typeAndData + BigEndian(Crc32(typeAndData));
}

// Where cairo's PNG bytes go: a string, with the text chunk put in once the header has passed.
struct Sink {
    std::string bytes;
    std::string chunk;
    size_t written = 0;  // cairo's bytes only

    void Put(const unsigned char* data, size_t count) { bytes.append(reinterpret_cast<const char*>(data), count); }
};

cairo_status_t WriteToSink(void* closure, const unsigned char* data, unsigned int length) {
    Sink& sink = *static_cast<Sink*>(closure);
    const size_t head = sink.written < kHeaderEnd ? std::min<size_t>(length, kHeaderEnd - sink.written) : 0;
    sink.Put(data, head);
    sink.written += head;
    if (sink.written == kHeaderEnd && !sink.chunk.empty()) {
        sink.Put(reinterpret_cast<const unsigned char*>(sink.chunk.data()), sink.chunk.size());
        sink.chunk.clear();
    }
    sink.Put(data + head, length - head);
    sink.written += length - head;
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

sim::Result<std::string> EncodePng(cairo_surface_t* surface, const PngText* text) {
    Sink sink{std::string(), text != nullptr ? TextChunk(*text) : std::string()};
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface, WriteToSink, &sink);
    if (status != CAIRO_STATUS_SUCCESS) return sim::Failure(cairo_status_to_string(status));
    return std::move(sink.bytes);
}

sim::Status WritePng(cairo_surface_t* surface, const std::string& path, const PngText* text) {
    const sim::Result<std::string> bytes = EncodePng(surface, text);
    if (!bytes) return sim::Failure("cannot write " + path + ": " + bytes.error());
    return sim::WriteWholeFileBytes(path, *bytes);
}

}  // namespace preview
