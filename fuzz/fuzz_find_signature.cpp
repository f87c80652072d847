// The signature search against a plain byte-by-byte search, and where the DexDrive readers take
// their image from.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "cardformat/card_format.h"
#include "cardformat/conversion_rule.h"
#include "fuzz_check.h"

namespace {

using fuzzcheck::Require;
using View = std::span<const std::uint8_t>;

constexpr std::array<std::uint8_t, 6> kSignature{'M', 'C', 0, 0, 0, 0};
constexpr std::size_t kDexSize = 3904;

std::optional<std::size_t> NaiveFind(View bytes) {
    for (std::size_t at = 0; at + kSignature.size() <= bytes.size(); ++at) {
        if (std::equal(kSignature.begin(), kSignature.end(), bytes.begin() + at)) {
            return at;
        }
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const View bytes(data, size);
    const std::optional<std::size_t> found = cardformat::FindImageSignature(bytes);
    Require(found == NaiveFind(bytes), "the first occurrence, or none");

    // The search never looks past the end: the same bytes in a shorter view give the first
    // occurrence that ends inside it.
    if (found && size > 0) {
        const View shorter = bytes.first(*found + kSignature.size() - 1);
        Require(!cardformat::FindImageSignature(shorter), "a signature cut short is no occurrence");
    }

    const std::optional<std::size_t> image = cardformat::LocateDexImage(bytes);
    const bool atStandardOffset =
        size >= kDexSize + kSignature.size() &&
        std::equal(kSignature.begin(), kSignature.end(), bytes.begin() + kDexSize);
    Require(image == (atStandardOffset ? std::optional<std::size_t>(kDexSize) : found),
            "the image is taken from 3904 when it begins there, else from the first occurrence");
    return 0;
}
