#include "cardformat/card_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using cardformat::FindImageSignature;
using Bytes = std::vector<std::uint8_t>;

std::vector<std::size_t> NonZeroOffsets(std::span<const std::uint8_t> bytes) {
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != 0) {
            offsets.push_back(i);
        }
    }
    return offsets;
}

TEST(Headers, VgsHeaderHoldsExactlyItsEightNonZeroBytes) {
    const auto header = cardformat::BuildVgsHeader();
    ASSERT_EQ(header.size(), 64u);
    EXPECT_EQ(NonZeroOffsets(header), (std::vector<std::size_t>{0, 1, 2, 3, 4, 8, 12, 17}));
    EXPECT_EQ(Bytes(header.begin(), header.begin() + 4), (Bytes{'V', 'g', 's', 'M'}));
    EXPECT_EQ(header[4], 0x01);
    EXPECT_EQ(header[8], 0x01);
    EXPECT_EQ(header[12], 0x01);
    EXPECT_EQ(header[17], 0x02);
}

TEST(Headers, DexHeaderHoldsItsPrefixAndZerosToTheEnd) {
    const auto header = cardformat::BuildDexHeader();
    ASSERT_EQ(header.size(), 3904u);
    const Bytes magic{'1', '2', '3', '-', '4', '5', '6', '-', 'S', 'T', 'D'};
    EXPECT_EQ(Bytes(header.begin(), header.begin() + 11), magic);
    for (std::size_t i = 11; i < 18; ++i) {
        EXPECT_EQ(header[i], 0) << "byte " << i;
    }
    EXPECT_EQ(header[18], 0x01);
    EXPECT_EQ(header[19], 0x00);
    EXPECT_EQ(header[20], 0x01);
    EXPECT_EQ(header[21], 'M');
    EXPECT_EQ(header[22], 'Q');
    for (std::size_t i = 23; i <= 36; ++i) {
        EXPECT_EQ(header[i], 0xA0) << "byte " << i;
    }
    EXPECT_EQ(header[37], 0x00);
    EXPECT_EQ(header[38], 0xFF);
    EXPECT_EQ(NonZeroOffsets(header).back(), 38u) << "bytes 39 to 3903 must be zero";
}

TEST(Headers, NeitherHeaderHoldsTheSignature) {
    EXPECT_FALSE(FindImageSignature(cardformat::kDexHeader));
    EXPECT_FALSE(FindImageSignature(cardformat::kVgsHeader));
}

TEST(Formats, ExtensionsInSelectorOrder) {
    EXPECT_EQ(static_cast<int>(cardformat::CardFormat::Bleem), 0);
    EXPECT_EQ(static_cast<int>(cardformat::CardFormat::Vgs), 1);
    EXPECT_EQ(static_cast<int>(cardformat::CardFormat::DexDrive), 2);
    EXPECT_EQ(cardformat::ExtensionOf(cardformat::CardFormat::Bleem), ".mcd");
    EXPECT_EQ(cardformat::ExtensionOf(cardformat::CardFormat::Vgs), ".mem");
    EXPECT_EQ(cardformat::ExtensionOf(cardformat::CardFormat::DexDrive), ".gme");
}

struct SignatureCase {
    const char* name;
    Bytes bytes;
    std::optional<std::size_t> expected;
};

void PrintTo(const SignatureCase& c, std::ostream* os) {
    *os << c.name;
}

class FindImageSignatureTest : public testing::TestWithParam<SignatureCase> {};

TEST_P(FindImageSignatureTest, FindsTheFirstExactOccurrence) {
    EXPECT_EQ(FindImageSignature(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindImageSignatureTest,
    testing::Values(SignatureCase{"Empty", {}, std::nullopt},
                    SignatureCase{"FiveBytes", {'M', 'C', 0, 0, 0}, std::nullopt},
                    SignatureCase{"ExactlyTheSignature", {'M', 'C', 0, 0, 0, 0}, 0},
                    SignatureCase{"LowerCaseLetters", {'m', 'c', 0, 0, 0, 0}, std::nullopt},
                    SignatureCase{"MixedCaseLetters", {'M', 'c', 0, 0, 0, 0}, std::nullopt},
                    SignatureCase{"ThreeZerosThenNonZeroThenReal",
                                  {'M', 'C', 0, 0, 0, 1, 'M', 'C', 0, 0, 0, 0},
                                  6},
                    SignatureCase{"OverlappingStart", {'M', 'M', 'C', 0, 0, 0, 0}, 1},
                    SignatureCase{"AtTheVeryEnd", {1, 2, 3, 'M', 'C', 0, 0, 0, 0}, 3},
                    SignatureCase{"CutShortAtTheEnd", {1, 2, 3, 'M', 'C', 0, 0, 0}, std::nullopt},
                    SignatureCase{"TwoOccurrencesGiveTheFirst",
                                  {'M', 'C', 0, 0, 0, 0, 9, 'M', 'C', 0, 0, 0, 0},
                                  0}),
    [](const testing::TestParamInfo<SignatureCase>& info) { return info.param.name; });

}  // namespace
