#pragma once

// The three PlayStation memory-card file formats and the byte-level facts the conversions rely on.
// Pure: no I/O, no state. Offsets and sizes are bytes, offsets counted from 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace cardformat {

using ByteView = std::span<const std::uint8_t>;

// The values double as the indexes of the selector's three format toggles.
enum class CardFormat : int { Bleem = 0, Vgs = 1, DexDrive = 2 };

inline constexpr std::array kAllFormats{CardFormat::Bleem, CardFormat::Vgs, CardFormat::DexDrive};

inline constexpr std::size_t kCardImageSize = 0x20000;  // 131072: one whole memory card
inline constexpr std::size_t kVgsHeaderSize = 0x40;     // 64
inline constexpr std::size_t kDexHeaderSize = 0xF40;    // 3904

// A card image is opaque to the converters; only its first six bytes are ever looked at.
using CardImage = std::array<std::uint8_t, kCardImageSize>;
using VgsHeader = std::array<std::uint8_t, kVgsHeaderSize>;
using DexHeader = std::array<std::uint8_t, kDexHeaderSize>;

// Every card image begins with "MC" followed by four zero bytes.
inline constexpr std::array<std::uint8_t, 6> ImageSignature{0x4D, 0x43, 0x00, 0x00, 0x00, 0x00};

// The 64-byte header of a Virtual Game Station file; every byte past the prefix is zero.
//   4 bytes at 0x00: "VgsM"
//   1 byte  at 0x04: 0x01     1 byte at 0x08: 0x01     1 byte at 0x0C: 0x01
//   1 byte  at 0x11: 0x02
constexpr VgsHeader BuildVgsHeader() {
    constexpr std::array<std::uint8_t, 18> prefix{0x56, 0x67, 0x73, 0x4D, 0x01, 0x00,
                                                  0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
                                                  0x01, 0x00, 0x00, 0x00, 0x00, 0x02};
    VgsHeader header{};
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        header[i] = prefix[i];
    }
    return header;
}

// The 3904-byte header of a DexDrive file, the same for every card; every byte past the prefix is
// zero.
//   11 bytes at 0x000: "123-456-STD"
//    1 byte  at 0x012: 0x01      1 byte at 0x014: 0x01
//    2 bytes at 0x015: "MQ"
//   14 bytes at 0x017: 0xA0 each
//    1 byte  at 0x026: 0xFF
constexpr DexHeader BuildDexHeader() {
    DexHeader header{};
    constexpr std::string_view kMagic = "123-456-STD";
    for (std::size_t i = 0; i < kMagic.size(); ++i) {
        header[i] = static_cast<std::uint8_t>(kMagic[i]);
    }
    header[0x12] = 0x01;
    header[0x14] = 0x01;
    header[0x15] = 0x4D;  // M
    header[0x16] = 0x51;  // Q
    for (std::size_t i = 0x17; i <= 0x24; ++i) {
        header[i] = 0xA0;
    }
    header[0x26] = 0xFF;
    return header;
}

inline constexpr VgsHeader kVgsHeader = BuildVgsHeader();
inline constexpr DexHeader kDexHeader = BuildDexHeader();

// Offset of the first occurrence of ImageSignature, scanning from offset 0 whatever the bytes hold.
std::optional<std::size_t> FindImageSignature(ByteView bytes);

// The file extension of a format, with its leading dot: ".mcd", ".mem" or ".gme".
constexpr std::string_view ExtensionOf(CardFormat format) {
    switch (format) {
        case CardFormat::Bleem:
            return ".mcd";
        case CardFormat::Vgs:
            return ".mem";
        case CardFormat::DexDrive:
            return ".gme";
    }
    return {};
}

}  // namespace cardformat
