#include "content/Files.hpp"

#include "app/SfmlAdapter.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <list>
#include <map>
#include <vector>
#include <zlib.h>

namespace {

// 4096 pixels a side: every graphics card that draws the game holds such a texture, and no
// picture of an 800x600 game needs more; its decoded pixels stay within 64 MiB.
constexpr std::uint32_t k_maxSide = 4096;
// Far above any font the game ships (under 1 MiB), far below what would strain the memory.
constexpr std::uintmax_t k_maxFontBytes = 32u << 20;

std::uint32_t BigEndian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

bool Read(std::istream& in, unsigned char* bytes, std::streamsize count) {
    return static_cast<bool>(in.read(reinterpret_cast<char*>(bytes), count));
}

bool UsableSide(std::uint32_t side) {
    return side >= 1 && side <= k_maxSide;
}

// Whether the pixel data inflates to no more than `limit` bytes. A small declared size does not
// bound what the loader inflates, so a few megabytes could become gigabytes: the data is
// inflated here into a small buffer that is thrown away, and only as far as the limit.
bool InflatesWithin(std::istream& in, std::uint64_t limit) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        return false;
    }
    constexpr std::uint32_t k_piece = 1 << 16;
    std::vector<unsigned char> input(k_piece);
    std::vector<unsigned char> output(k_piece);
    std::uint64_t inflated = 0;
    int status = Z_OK;
    unsigned char head[8];
    while (status == Z_OK && inflated <= limit && Read(in, head, 8)) {
        std::uint32_t left = BigEndian(head, 4);
        const bool data = std::equal(head + 4, head + 8, "IDAT");
        if (std::equal(head + 4, head + 8, "IEND")) {
            break;
        }
        if (!data) {
            in.seekg(std::streamoff(left) + 4, std::ios::cur); // the chunk and its checksum
            continue;
        }
        while (left > 0 && status == Z_OK && inflated <= limit) {
            const auto piece = std::min(left, k_piece);
            if (!Read(in, input.data(), piece)) {
                break;
            }
            left -= piece;
            z.next_in = input.data();
            z.avail_in = piece;
            while (z.avail_in > 0 && status == Z_OK && inflated <= limit) {
                z.next_out = output.data();
                z.avail_out = k_piece;
                status = inflate(&z, Z_NO_FLUSH);
                inflated += output.size() - z.avail_out;
            }
        }
        in.seekg(4 + std::streamoff(left), std::ios::cur);
    }
    inflateEnd(&z);
    return inflated <= limit && (status == Z_OK || status == Z_STREAM_END);
}

bool IsUsablePng(std::istream& in) {
    unsigned char head[33]; // signature, then the header chunk: length, type, 13 bytes, checksum
    if (!Read(in, head, sizeof head) || std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) != 0 ||
        BigEndian(head + 8, 4) != 13 || !std::equal(head + 12, head + 16, "IHDR")) {
        return false;
    }
    const std::uint32_t width = BigEndian(head + 16, 4);
    const std::uint32_t height = BigEndian(head + 20, 4);
    const unsigned depth = head[24];
    const unsigned colour = head[25];
    constexpr unsigned channels[] = {1, 0, 3, 1, 2, 0, 4}; // by colour type; 0: none such
    if (!UsableSide(width) || !UsableSide(height) || depth > 16 || colour > 6 ||
        channels[colour] == 0) {
        return false;
    }
    // Each row and its filter byte; interlaced, up to 2 * height + 7 shorter rows, each with a
    // filter byte and a byte rounded up.
    const std::uint64_t row = (std::uint64_t{width} * depth * channels[colour] + 7) / 8;
    return InflatesWithin(in, (row + 1) * height + 4 * std::uint64_t{height} + 14);
}

bool IsUsableJpeg(std::istream& in) {
    unsigned char marker[2];
    if (!Read(in, marker, 2) || marker[0] != 0xFF || marker[1] != 0xD8) {
        return false;
    }
    // Segments up to the frame header, which holds the size.
    while (Read(in, marker, 2) && marker[0] == 0xFF) {
        const unsigned char kind = marker[1];
        if (kind == 0xFF || kind == 0x01 || (kind >= 0xD0 && kind <= 0xD7)) {
            if (kind == 0xFF) {
                in.seekg(-1, std::ios::cur); // fill byte
            }
            continue;
        }
        if (kind == 0xD9 || kind == 0xDA) {
            return false; // the image or its data before any frame header
        }
        unsigned char segment[7];
        if (!Read(in, segment, 2)) {
            return false;
        }
        const bool frame =
            kind >= 0xC0 && kind <= 0xCF && kind != 0xC4 && kind != 0xC8 && kind != 0xCC;
        if (frame) {
            return Read(in, segment + 2, 5) && UsableSide(BigEndian(segment + 3, 2)) &&
                   UsableSide(BigEndian(segment + 5, 2));
        }
        in.seekg(std::streamoff(BigEndian(segment, 2)) - 2, std::ios::cur);
    }
    return false;
}

} // namespace

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool IsUsableImage(const std::string& path, const std::string& ending) {
    std::ifstream in(path, std::ios::binary);
    return ending == ".png" ? IsUsablePng(in) : IsUsableJpeg(in);
}

bool LoadFont(sf::Font& font, const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!IsRegularFile(path) || error || size > k_maxFontBytes) {
        return false;
    }
    std::vector<char> bytes(size);
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount())); // what is there, if it shrank meanwhile
    // A font keeps reading its bytes while it lives, and the scenes' fonts outlive main's end, so
    // what was read stays for the whole run; the same bytes read again are shared, not kept twice.
    static auto* const s_kept = new std::map<std::string, std::list<std::vector<char>>>;
    auto& kept = (*s_kept)[path];
    auto same = std::find(kept.begin(), kept.end(), bytes);
    if (same == kept.end()) {
        same = kept.insert(kept.end(), std::move(bytes));
    }
    return OpenFont(font, same->data(), same->size());
}
