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

// What a direction makes of a source: the header in front and the kept slice of the source.
struct Made {
    View header;
    View slice;
};

bool Same(View a, View b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// What the table gives for one direction, or nothing when the source is turned down.
std::optional<Made> Expected(CardFormat from, CardFormat to, View source) {
    const std::size_t length = source.size();
    const bool intoDex = to == CardFormat::DexDrive;
    if (from == CardFormat::Vgs && intoDex) {
        if (length != kVgsSize + kImage) {
            return std::nullopt;
        }
        return Made{kDex, source.subspan(kVgsSize)};
    }
    if (from == CardFormat::Bleem && intoDex) {
        if (length != kImage) {
            return std::nullopt;
        }
        return Made{kDex, source};
    }
    if (from == CardFormat::DexDrive) {
        const auto p = DexImageAt(source);
        if (!p) {
            return std::nullopt;
        }
        const View image = source.subspan(*p, std::min(kImage, length - *p));
        return Made{to == CardFormat::Vgs ? View(kVgs) : View(), image};
    }
    if (from == CardFormat::Bleem) {  // into VGS: every source
        return Made{kVgs, source};
    }
    // VGS into bleem!: the whole 64-byte header must match.
    if (length < kVgsSize || !std::equal(kVgs.begin(), kVgs.end(), source.begin())) {
        return std::nullopt;
    }
    return Made{View(), source.subspan(kVgsSize)};
}

const cardformat::ConversionRule& Rule(CardFormat from, CardFormat to) {
    const auto* rule = cardformat::FindRule(from, to);
    Require(rule != nullptr, "every direction between two formats has a rule");
    return *rule;
}

// What a rule plans for a source, without copying a byte.
std::optional<Made> Planned(CardFormat from, CardFormat to, View source) {
    const cardformat::PlanResult planned = cardformat::PlanConversion(Rule(from, to), source);
    if (const auto* plan = std::get_if<cardformat::ConversionPlan>(&planned)) {
        return Made{plan->header, plan->slice};
    }
    return std::nullopt;
}

// The bytes of a planned output, in a buffer whose capacity is reused: a fresh buffer of a card's
// size for every step would cost the fuzzer most of its time in the allocator.
View Materialize(const Made& made, Bytes& buffer) {
    buffer.assign(made.header.begin(), made.header.end());
    buffer.insert(buffer.end(), made.slice.begin(), made.slice.end());
    return buffer;
}

void CheckRule(const cardformat::ConversionRule& rule, View source, bool convertToo) {
    const std::optional<Made> expected = Expected(rule.source, rule.target, source);
    const cardformat::PlanResult planned = cardformat::PlanConversion(rule, source);
    const auto* plan = std::get_if<cardformat::ConversionPlan>(&planned);
    Require((plan != nullptr) == expected.has_value(),
            "a rule rejects exactly when its accept test fails");
    if (!expected) {
        const auto& why = std::get<cardformat::Rejection>(planned);
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
        if (convertToo) {
            const cardformat::ConvertResult result = cardformat::ConvertBytes(rule, source);
            const auto* rejection = std::get_if<cardformat::Rejection>(&result);
            Require(rejection != nullptr && *rejection == why,
                    "the bytes are turned down for the plan's reason");
        }
        return;
    }
    Require(Same(plan->header, expected->header), "the header is the table's");
    // The very slice of the source that the table names, which also keeps it inside the source.
    Require(plan->slice.size() == expected->slice.size() &&
                (plan->slice.empty() || plan->slice.data() == expected->slice.data()),
            "the kept slice is the table's");
    if (convertToo) {
        const cardformat::ConvertResult result = cardformat::ConvertBytes(rule, source);
        const auto* output = std::get_if<Bytes>(&result);
        Require(output != nullptr && output->size() == plan->size() &&
                    Same(View(*output).first(plan->header.size()), expected->header) &&
                    Same(View(*output).subspan(plan->header.size()), expected->slice),
                "the output is the header followed by the kept slice, and nothing after it");
    }
}

void CheckRoundTrips(View source) {
    static Bytes vgsBuffer;
    static Bytes dexBuffer;

    // bleem! through VGS and back: any size comes back unchanged.
    const auto intoVgs = Planned(CardFormat::Bleem, CardFormat::Vgs, source);
    Require(intoVgs.has_value(), "bleem! to VGS accepts everything");
    const View vgs = Materialize(*intoVgs, vgsBuffer);
    const auto bleemAgain = Planned(CardFormat::Vgs, CardFormat::Bleem, vgs);
    Require(bleemAgain && bleemAgain->header.empty() && Same(bleemAgain->slice, source),
            "bleem! to VGS to bleem! returns the source");

    const bool startsWithSignature =
        source.size() >= kSignature.size() &&
        std::equal(kSignature.begin(), kSignature.end(), source.begin());
    if (source.size() == kImage) {
        const auto intoDex = Planned(CardFormat::Bleem, CardFormat::DexDrive, source);
        Require(intoDex.has_value(), "a whole card image goes into DexDrive");
        const auto throughVgs = Planned(CardFormat::Vgs, CardFormat::DexDrive, vgs);
        Require(throughVgs && Same(throughVgs->header, intoDex->header) &&
                    Same(throughVgs->slice, source),
                "bleem! to DexDrive directly or through VGS gives the same file");
        if (startsWithSignature) {
            const View dex = Materialize(*intoDex, dexBuffer);
            const auto back = Planned(CardFormat::DexDrive, CardFormat::Bleem, dex);
            Require(back && back->header.empty() && Same(back->slice, source),
                    "a card image through DexDrive comes back unchanged");
        }
    }

    // VGS through DexDrive and back: the image survives and the header becomes the standard one.
    if (source.size() == kVgsSize + kImage &&
        std::equal(kSignature.begin(), kSignature.end(), source.begin() + kVgsSize)) {
        const auto intoDex = Planned(CardFormat::Vgs, CardFormat::DexDrive, source);
        Require(intoDex.has_value(), "a VGS file of one card goes into DexDrive");
        const View dex = Materialize(*intoDex, dexBuffer);
        const auto back = Planned(CardFormat::DexDrive, CardFormat::Vgs, dex);
        Require(back && Same(back->header, kVgs) && Same(back->slice, source.subspan(kVgsSize)),
                "VGS to DexDrive to VGS keeps the image behind the standard header");
    }

    // DexDrive to bleem! directly or through VGS gives the same bytes.
    const auto direct = Planned(CardFormat::DexDrive, CardFormat::Bleem, source);
    const auto viaVgs = Planned(CardFormat::DexDrive, CardFormat::Vgs, source);
    Require(direct.has_value() == viaVgs.has_value(), "both DexDrive readers accept alike");
    if (direct) {
        const View vgsFile = Materialize(*viaVgs, vgsBuffer);
        const auto bleem = Planned(CardFormat::Vgs, CardFormat::Bleem, vgsFile);
        Require(bleem && bleem->header.empty() && Same(bleem->slice, direct->slice),
                "DexDrive to bleem! directly or through VGS gives the same card");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const View source(data, size);
    // ConvertBytes copies what PlanConversion plans. Small inputs go through it for every rule;
    // a large one for one rule, chosen by its size, to keep the fuzzer fast.
    const std::size_t copied = size % cardformat::kConversionRules.size();
    for (std::size_t i = 0; i < cardformat::kConversionRules.size(); ++i) {
        CheckRule(cardformat::kConversionRules[i], source, size <= 16384 || i == copied);
    }
    CheckRoundTrips(source);
    return 0;
}
