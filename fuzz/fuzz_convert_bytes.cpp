// Every input through all six rules: each result must be what the rule table says, written out
// here a second time and independently of the table's encoding, and the round trips between the
// formats must give back what they promise.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "cardformat/card_format.h"
#include "cardformat/conversion_rule.h"
#include "fuzz_check.h"

namespace {

using cardformat::CardFormat;
using fuzzcheck::Require;
using Bytes = std::vector<std::uint8_t>;
using View = std::span<const std::uint8_t>;

constexpr std::size_t kImage = 131072;
constexpr std::size_t kVgsSize = 64;
constexpr std::size_t kDexSize = 3904;

constexpr std::array<std::uint8_t, 6> kSignature{'M', 'C', 0, 0, 0, 0};

// The two headers as the file formats define them: a prefix, then zero bytes up to their size.
Bytes VgsHeader() {
    Bytes header(kVgsSize, 0);
    const std::uint8_t prefix[] = {'V', 'g', 's', 'M', 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 2};
    std::copy(std::begin(prefix), std::end(prefix), header.begin());
    return header;
}

Bytes DexHeader() {
    Bytes header(kDexSize, 0);
    const char magic[] = "123-456-STD";
    std::copy(magic, magic + 11, header.begin());
    header[18] = 1;
    header[20] = 1;
    header[21] = 'M';
    header[22] = 'Q';
    std::fill(header.begin() + 23, header.begin() + 37, 0xA0);
    header[38] = 0xFF;
    return header;
}

const Bytes kVgs = VgsHeader();
const Bytes kDex = DexHeader();

std::optional<std::size_t> NaiveFind(View bytes) {
    const auto at = std::search(bytes.begin(), bytes.end(), kSignature.begin(), kSignature.end());
    if (at == bytes.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(at - bytes.begin());
}

// A DexDrive file keeps its image at 3904; only when the signature is not there does the first
// occurrence anywhere count.
std::optional<std::size_t> DexImageAt(View bytes) {
    if (bytes.size() >= kDexSize + kSignature.size() &&
        std::equal(kSignature.begin(), kSignature.end(), bytes.begin() + kDexSize)) {
        return kDexSize;
    }
    return NaiveFind(bytes);
}

Bytes Join(const Bytes& header, View slice) {
    Bytes out(header);
    out.insert(out.end(), slice.begin(), slice.end());
    return out;
}

// The output the table gives for one direction, or nothing when the source is turned down.
std::optional<Bytes> Expected(CardFormat from, CardFormat to, View source) {
    const std::size_t length = source.size();
    const bool intoDex = to == CardFormat::DexDrive;
    if (from == CardFormat::Vgs && intoDex) {
        if (length != kVgsSize + kImage) {
            return std::nullopt;
        }
        return Join(kDex, source.subspan(kVgsSize));
    }
    if (from == CardFormat::Bleem && intoDex) {
        if (length != kImage) {
            return std::nullopt;
        }
        return Join(kDex, source);
    }
    if (from == CardFormat::DexDrive) {
        const auto p = DexImageAt(source);
        if (!p) {
            return std::nullopt;
        }
        const View image = source.subspan(*p, std::min(kImage, length - *p));
        return Join(to == CardFormat::Vgs ? kVgs : Bytes{}, image);
    }
    if (from == CardFormat::Bleem) {  // into VGS: every source
        return Join(kVgs, source);
    }
    // VGS into bleem!: the whole 64-byte header must match.
    if (length < kVgsSize || !std::equal(kVgs.begin(), kVgs.end(), source.begin())) {
        return std::nullopt;
    }
    return Bytes(source.begin() + kVgsSize, source.end());
}

const cardformat::ConversionRule& Rule(CardFormat from, CardFormat to) {
    const auto* rule = cardformat::FindRule(from, to);
    Require(rule != nullptr, "every direction between two formats has a rule");
    return *rule;
}

std::optional<Bytes> Convert(CardFormat from, CardFormat to, View source) {
    auto result = cardformat::ConvertBytes(Rule(from, to), source);
    if (auto* bytes = std::get_if<Bytes>(&result)) {
        return std::move(*bytes);
    }
    return std::nullopt;
}

void CheckRule(const cardformat::ConversionRule& rule, View source) {
    const std::optional<Bytes> expected = Expected(rule.source, rule.target, source);
    const cardformat::ConvertResult result = cardformat::ConvertBytes(rule, source);
    const auto* output = std::get_if<Bytes>(&result);
    Require((output != nullptr) == expected.has_value(),
            "a rule rejects exactly when its accept test fails");

    const cardformat::PlanResult planned = cardformat::PlanConversion(rule, source);
    const auto* plan = std::get_if<cardformat::ConversionPlan>(&planned);
    Require((plan != nullptr) == expected.has_value(), "the plan and the bytes agree on rejection");
    if (!expected) {
        const auto& why = std::get<cardformat::Rejection>(result);
        Require(why == std::get<cardformat::Rejection>(planned), "one reason for one source");
        if (why.reason == cardformat::Rejection::Reason::WrongSize) {
            Require(why.found == source.size() && why.expected != source.size(),
                    "a size rejection names the size found");
        }
        if (why.reason == cardformat::Rejection::Reason::HeaderDiffers) {
            Require(why.offset < kVgsSize && source[why.offset] != kVgs[why.offset] &&
                        std::equal(kVgs.begin(), kVgs.begin() + static_cast<long>(why.offset),
                                   source.begin()),
                    "a header rejection names the first byte that differs");
        }
        return;
    }
    Require(*output == *expected, "the output is the header followed by the kept slice");
    Require(plan->size() == output->size(), "the plan's size is the output's size");
    // The slice points into the caller's bytes and never past their end.
    Require(plan->slice.empty() ||
                (plan->slice.data() >= source.data() &&
                 plan->slice.data() + plan->slice.size() <= source.data() + source.size()),
            "the kept slice lies inside the source");
}

void CheckRoundTrips(View source) {
    // bleem! through VGS and back: any size comes back unchanged.
    const auto vgs = Convert(CardFormat::Bleem, CardFormat::Vgs, source);
    Require(vgs.has_value(), "bleem! to VGS accepts everything");
    const auto bleemAgain = Convert(CardFormat::Vgs, CardFormat::Bleem, *vgs);
    Require(bleemAgain &&
                std::equal(source.begin(), source.end(), bleemAgain->begin(), bleemAgain->end()),
            "bleem! to VGS to bleem! returns the source");

    const bool startsWithSignature =
        source.size() >= kSignature.size() &&
        std::equal(kSignature.begin(), kSignature.end(), source.begin());
    if (source.size() == kImage) {
        const auto dex = Convert(CardFormat::Bleem, CardFormat::DexDrive, source);
        Require(dex.has_value(), "a whole card image goes into DexDrive");
        Require(Convert(CardFormat::Vgs, CardFormat::DexDrive, *vgs) == dex,
                "bleem! to DexDrive directly or through VGS gives the same file");
        if (startsWithSignature) {
            const auto back = Convert(CardFormat::DexDrive, CardFormat::Bleem, *dex);
            Require(back && std::equal(source.begin(), source.end(), back->begin(), back->end()),
                    "a card image through DexDrive comes back unchanged");
        }
    }

    // VGS through DexDrive and back: the image survives and the header becomes the standard one.
    if (source.size() == kVgsSize + kImage &&
        std::equal(kSignature.begin(), kSignature.end(), source.begin() + kVgsSize)) {
        const auto dex = Convert(CardFormat::Vgs, CardFormat::DexDrive, source);
        const auto back = dex ? Convert(CardFormat::DexDrive, CardFormat::Vgs, *dex) : std::nullopt;
        Require(back && *back == Join(kVgs, source.subspan(kVgsSize)),
                "VGS to DexDrive to VGS keeps the image behind the standard header");
    }

    // DexDrive to bleem! directly or through VGS gives the same bytes.
    const auto direct = Convert(CardFormat::DexDrive, CardFormat::Bleem, source);
    const auto viaVgs = Convert(CardFormat::DexDrive, CardFormat::Vgs, source);
    Require(direct.has_value() == viaVgs.has_value(), "both DexDrive readers accept alike");
    if (direct) {
        Require(Convert(CardFormat::Vgs, CardFormat::Bleem, *viaVgs) == direct,
                "DexDrive to bleem! directly or through VGS gives the same card");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const View source(data, size);
    for (const auto& rule : cardformat::kConversionRules) {
        CheckRule(rule, source);
    }
    CheckRoundTrips(source);
    return 0;
}
