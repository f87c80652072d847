#include "cardformat/card_format.h"

#include <cstring>

namespace cardformat {

static_assert(kVgsHeaderSize + kCardImageSize == 131136);
static_assert(kDexHeaderSize + kCardImageSize == 134976);

std::optional<std::size_t> FindImageSignature(ByteView bytes) {
    constexpr std::size_t kLength = ImageSignature.size();
    if (bytes.size() < kLength) {
        return std::nullopt;
    }
    const std::uint8_t* const begin = bytes.data();
    const std::uint8_t* const last = begin + (bytes.size() - kLength);  // last possible start
    const std::uint8_t* at = begin;
    while (at <= last) {
        const void* found =
            std::memchr(at, ImageSignature[0], static_cast<std::size_t>(last - at) + 1);
        if (found == nullptr) {
            break;
        }
        at = static_cast<const std::uint8_t*>(found);
        if (std::memcmp(at + 1, ImageSignature.data() + 1, kLength - 1) == 0) {
            return static_cast<std::size_t>(at - begin);
        }
        ++at;
    }
    return std::nullopt;
}

}  // namespace cardformat
