#include "cardformat/conversion_rule.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "test_support.h"

namespace {

using cardformat::CardFormat;
using cardformat::ConvertBytes;
using cardformat::Rejection;
using testsupport::Bytes;
using testsupport::Concat;
using testsupport::MakeCardImage;
using testsupport::PatternBytes;
using Reason = Rejection::Reason;

const Bytes kVgs = testsupport::VgsHeaderBytes();
const Bytes kDex = testsupport::DexHeaderBytes();

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

Bytes Convert(CardFormat from, CardFormat to, const Bytes& source) {
    const auto* rule = cardformat::FindRule(from, to);
    EXPECT_NE(rule, nullptr);
    auto result = ConvertBytes(*rule, source);
    EXPECT_TRUE(std::holds_alternative<Bytes>(result)) << "unexpected rejection";
    return std::holds_alternative<Bytes>(result) ? std::get<Bytes>(result) : Bytes{};
}

struct RuleCase {
    const char* name;
    CardFormat from;
    CardFormat to;
    std::function<Bytes()> source;
    // The exact output, built independently of the rule; empty when the rule must reject.
    std::function<Bytes(const Bytes&)> expected;
    std::optional<Rejection> rejection;
};

Rejection WrongSize(std::size_t expected, std::size_t found) {
    return {Reason::WrongSize, expected, found};
}

const Bytes kImage = MakeCardImage();
const Bytes kRandomHeaderVgs = Concat(PatternBytes(64, 3), kImage);
const Bytes kStandardDex = Concat(kDex, kImage);

Bytes WithByte(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
}

// A DexDrive header whose comment area ends in "MC" and zero padding, as a per-block comment can.
Bytes DexHeaderWithCommentSignature() {
    Bytes header = kDex;
    const std::size_t at = 0x40 + 3 * 0x100 - 8;
    header[at] = 'M';
    header[at + 1] = 'C';
    return header;
}

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.name;
}

class RuleTest : public testing::TestWithParam<RuleCase> {};

TEST_P(RuleTest, AcceptsAndWritesExactlyTheTable) {
    const RuleCase& c = GetParam();
    const Bytes source = c.source();
    const auto* rule = cardformat::FindRule(c.from, c.to);
    ASSERT_NE(rule, nullptr);
    const auto result = ConvertBytes(*rule, source);
    if (c.rejection) {
        ASSERT_TRUE(std::holds_alternative<Rejection>(result)) << "expected a rejection";
        EXPECT_EQ(std::get<Rejection>(result), *c.rejection);
    } else {
        ASSERT_TRUE(std::holds_alternative<Bytes>(result)) << "expected an output";
        const Bytes expected = c.expected(source);
        const Bytes& output = std::get<Bytes>(result);
        ASSERT_EQ(output.size(), expected.size());
        EXPECT_TRUE(output == expected) << "output bytes differ";
    }
}

const auto kVgsToDex = [](const Bytes& s) { return Concat(kDex, Slice(s, 64, s.size() - 64)); };
const auto kDexImageFrom = [](std::size_t at) {
    return
        [at](const Bytes& s) { return Slice(s, at, std::min<std::size_t>(131072, s.size() - at)); };
};
const auto kDexImageWithVgs = [](std::size_t at) {
    return [at](const Bytes& s) { return Concat(kVgs, kDexImageFrom(at)(s)); };
};

INSTANTIATE_TEST_SUITE_P(
    Cases, RuleTest,
    testing::Values(
        // VGS to DexDrive tests the size only, never the header it drops.
        RuleCase{"VgsToDexAnyHeader",
                 CardFormat::Vgs,
                 CardFormat::DexDrive,
                 [] { return kRandomHeaderVgs; },
                 kVgsToDex,
                 {}},
        RuleCase{"VgsToDexOneShort",
                 CardFormat::Vgs,
                 CardFormat::DexDrive,
                 [] { return Bytes(131135, 0); },
                 {},
                 WrongSize(131136, 131135)},
        RuleCase{"VgsToDexOneLong",
                 CardFormat::Vgs,
                 CardFormat::DexDrive,
                 [] { return Bytes(131137, 0); },
                 {},
                 WrongSize(131136, 131137)},
        // VGS to bleem! tests the header bytes only, never the size.
        RuleCase{"VgsToBleemAnyHeader",
                 CardFormat::Vgs,
                 CardFormat::Bleem,
                 [] { return kRandomHeaderVgs; },
                 {},
                 Rejection{Reason::HeaderDiffers, 0, 0, 0}},
        RuleCase{"VgsToBleemByte17Differs",
                 CardFormat::Vgs,
                 CardFormat::Bleem,
                 [] { return WithByte(Concat(kVgs, kImage), 17, 0x03); },
                 {},
                 Rejection{Reason::HeaderDiffers, 0, 0, 17}},
        RuleCase{"VgsToBleemLastHeaderByteDiffers",
                 CardFormat::Vgs,
                 CardFormat::Bleem,
                 [] { return WithByte(kVgs, 63, 0x01); },
                 {},
                 Rejection{Reason::HeaderDiffers, 0, 0, 63}},
        RuleCase{"VgsToBleem63Bytes",
                 CardFormat::Vgs,
                 CardFormat::Bleem,
                 [] { return Slice(kVgs, 0, 63); },
                 {},
                 Rejection{Reason::HeaderTooShort, 64, 63}},
        RuleCase{"VgsToBleemHeaderOnly",
                 CardFormat::Vgs,
                 CardFormat::Bleem,
                 [] { return kVgs; },
                 [](const Bytes&) { return Bytes{}; },
                 {}},
        RuleCase{"VgsToBleemCarriesSurplus",
                 CardFormat::Vgs,
                 CardFormat::Bleem,
                 [] { return Concat(Concat(kVgs, kImage), PatternBytes(9)); },
                 [](const Bytes& s) { return Slice(s, 64, s.size() - 64); },
                 {}},
        // bleem! to DexDrive demands exactly one card image.
        RuleCase{"BleemToDexExact",
                 CardFormat::Bleem,
                 CardFormat::DexDrive,
                 [] { return kImage; },
                 [](const Bytes& s) { return Concat(kDex, s); },
                 {}},
        RuleCase{"BleemToDexOneShort",
                 CardFormat::Bleem,
                 CardFormat::DexDrive,
                 [] { return MakeCardImage(131071); },
                 {},
                 WrongSize(131072, 131071)},
        RuleCase{"BleemToDexOneLong",
                 CardFormat::Bleem,
                 CardFormat::DexDrive,
                 [] { return MakeCardImage(131073); },
                 {},
                 WrongSize(131072, 131073)},
        // bleem! to VGS takes a source of any size.
        RuleCase{"BleemToVgsOneShort",
                 CardFormat::Bleem,
                 CardFormat::Vgs,
                 [] { return MakeCardImage(131071); },
                 [](const Bytes& s) { return Concat(kVgs, s); },
                 {}},
        RuleCase{"BleemToVgsOneLong",
                 CardFormat::Bleem,
                 CardFormat::Vgs,
                 [] { return MakeCardImage(131073); },
                 [](const Bytes& s) { return Concat(kVgs, s); },
                 {}},
        RuleCase{"BleemToVgsEmpty",
                 CardFormat::Bleem,
                 CardFormat::Vgs,
                 [] { return Bytes{}; },
                 [](const Bytes&) { return kVgs; },
                 {}},
        // DexDrive readers take the image from the signature, at most one card of it.
        RuleCase{"DexToBleemStandard",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return kStandardDex; },
                 [](const Bytes&) { return kImage; },
                 {}},
        RuleCase{"DexToVgsStandard",
                 CardFormat::DexDrive,
                 CardFormat::Vgs,
                 [] { return kStandardDex; },
                 [](const Bytes&) { return Concat(kVgs, kImage); },
                 {}},
        RuleCase{"DexToBleemCutShort",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return Slice(kStandardDex, 0, 100000); },
                 kDexImageFrom(3904),
                 {}},
        RuleCase{"DexToVgsCutShort",
                 CardFormat::DexDrive,
                 CardFormat::Vgs,
                 [] { return Slice(kStandardDex, 0, 100000); },
                 kDexImageWithVgs(3904),
                 {}},
        RuleCase{"DexToBleemDropsSurplus",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return Concat(kStandardDex, PatternBytes(500)); },
                 kDexImageFrom(3904),
                 {}},
        RuleCase{"DexToVgsDropsSurplus",
                 CardFormat::DexDrive,
                 CardFormat::Vgs,
                 [] { return Concat(kStandardDex, PatternBytes(500)); },
                 kDexImageWithVgs(3904),
                 {}},
        RuleCase{"DexToBleemShortHeader",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return Concat(PatternBytes(100), kImage); },
                 kDexImageFrom(100),
                 {}},
        RuleCase{"DexToBleemLongHeader",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return Concat(PatternBytes(5000), kImage); },
                 kDexImageFrom(5000),
                 {}},
        RuleCase{"DexToBleemNoSignature",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return Concat(kDex, PatternBytes(131072)); },
                 {},
                 Rejection{Reason::NoSignature}},
        RuleCase{"DexToVgsNoSignature",
                 CardFormat::DexDrive,
                 CardFormat::Vgs,
                 [] { return PatternBytes(5); },
                 {},
                 Rejection{Reason::NoSignature}},
        RuleCase{"DexToBleemSignatureFurtherOn",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return Concat(Concat(kDex, PatternBytes(1000)), kImage); },
                 kDexImageFrom(4904),
                 {}},
        // A header comment ending in "MC" and zero padding must not shift the image.
        RuleCase{"DexToBleemCommentSignatureInHeader",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return Concat(DexHeaderWithCommentSignature(), kImage); },
                 [](const Bytes&) { return kImage; },
                 {}},
        RuleCase{"DexToVgsCommentSignatureInHeader",
                 CardFormat::DexDrive,
                 CardFormat::Vgs,
                 [] { return Concat(DexHeaderWithCommentSignature(), kImage); },
                 [](const Bytes&) { return Concat(kVgs, kImage); },
                 {}},
        // Where nothing stands at 3904, the first occurrence still wins.
        RuleCase{"DexToBleemTwoSignaturesNoneAt3904",
                 CardFormat::DexDrive,
                 CardFormat::Bleem,
                 [] { return Concat(Concat(PatternBytes(10), MakeCardImage(2000)), kImage); },
                 kDexImageFrom(10),
                 {}}),
    [](const testing::TestParamInfo<RuleCase>& info) { return info.param.name; });

TEST(Rules, OneRulePerDirectionAndNoneWithinAFormat) {
    for (CardFormat from : cardformat::kAllFormats) {
        for (CardFormat to : cardformat::kAllFormats) {
            const auto* rule = cardformat::FindRule(from, to);
            if (from == to) {
                EXPECT_EQ(rule, nullptr);
            } else {
                ASSERT_NE(rule, nullptr);
                EXPECT_EQ(rule->source, from);
                EXPECT_EQ(rule->target, to);
            }
        }
    }
}

TEST(RoundTrips, BleemThroughVgsReturnsAnySizeUnchanged) {
    for (std::size_t size : {0u, 1u, 131071u, 131072u, 131073u}) {
        const Bytes card = MakeCardImage(size);
        EXPECT_EQ(Convert(CardFormat::Vgs, CardFormat::Bleem,
                          Convert(CardFormat::Bleem, CardFormat::Vgs, card)),
                  card)
            << "size " << size;
    }
}

TEST(RoundTrips, BleemThroughDexDriveReturnsTheImage) {
    EXPECT_EQ(Convert(CardFormat::DexDrive, CardFormat::Bleem,
                      Convert(CardFormat::Bleem, CardFormat::DexDrive, kImage)),
              kImage);
}

TEST(RoundTrips, VgsThroughDexDriveKeepsOnlyTheStandardHeader) {
    const Bytes standard = Concat(kVgs, kImage);
    EXPECT_EQ(Convert(CardFormat::DexDrive, CardFormat::Vgs,
                      Convert(CardFormat::Vgs, CardFormat::DexDrive, standard)),
              standard);
    EXPECT_EQ(Convert(CardFormat::DexDrive, CardFormat::Vgs,
                      Convert(CardFormat::Vgs, CardFormat::DexDrive, kRandomHeaderVgs)),
              standard);
}

}  // namespace
