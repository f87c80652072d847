// The real-world card files through the rules.

#include <gtest/gtest.h>

#include <filesystem>

#include "cardformat/conversion_rule.h"
#include "test_support.h"

namespace {

using cardformat::CardFormat;
using testsupport::Bytes;
namespace fs = std::filesystem;

Bytes Convert(CardFormat from, CardFormat to, const Bytes& source) {
    auto result = cardformat::ConvertBytes(*cardformat::FindRule(from, to), source);
    EXPECT_TRUE(std::holds_alternative<Bytes>(result)) << "rejected";
    return std::holds_alternative<Bytes>(result) ? std::get<Bytes>(result) : Bytes{};
}

Bytes Tail(const Bytes& bytes, std::size_t from) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end());
}

struct DexSample {
    const char* file;
    std::size_t imageAt;
    std::size_t imageSize;
};

void PrintTo(const DexSample& s, std::ostream* os) {
    *os << s.file;
}

class DexSampleTest : public testing::TestWithParam<DexSample> {};

TEST_P(DexSampleTest, ImageComesOutWholeAndUnchanged) {
    const DexSample& sample = GetParam();
    const fs::path path = testsupport::SamplesDir() / sample.file;
    ASSERT_TRUE(fs::exists(path)) << "missing sample " << path;
    const Bytes file = testsupport::ReadFile(path);
    const Bytes image = Tail(file, sample.imageAt);
    ASSERT_EQ(image.size(), sample.imageSize);

    EXPECT_EQ(Convert(CardFormat::DexDrive, CardFormat::Bleem, file), image);
    const Bytes vgs = Convert(CardFormat::DexDrive, CardFormat::Vgs, file);
    EXPECT_EQ(vgs.size(), 64 + sample.imageSize);
    EXPECT_EQ(Tail(vgs, 64), image);
    // Back to DexDrive and bleem! through the VGS file.
    EXPECT_EQ(Convert(CardFormat::Vgs, CardFormat::Bleem, vgs), image);
    if (sample.imageSize == cardformat::kCardImageSize) {
        const Bytes dex = Convert(CardFormat::Vgs, CardFormat::DexDrive, vgs);
        EXPECT_EQ(dex.size(), 134976u);
        EXPECT_EQ(Convert(CardFormat::DexDrive, CardFormat::Bleem, dex), image);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, DexSampleTest,
    testing::Values(DexSample{"castlevania-symphony-of-the-night.1782.gme", 3904, 131072},
                    DexSample{"castlevania-symphony-of-the-night.1368.gme", 3904, 16384},
                    DexSample{"castlevania-symphony-of-the-night.3172.gme", 3904, 8192},
                    DexSample{"digimon-world.21133.gme", 3904, 131072},
                    DexSample{"gran-turismo.26537.gme", 3904, 131072},
                    DexSample{"gran-turismo.26537-output.gme", 3904, 131072},
                    DexSample{"tony-hawks-pro-skater-4.24197.gme", 0, 131072}));

class BareSampleTest : public testing::TestWithParam<const char*> {};

TEST_P(BareSampleTest, RoundTripsThroughBothHeaders) {
    const fs::path path = testsupport::SamplesDir() / GetParam();
    ASSERT_TRUE(fs::exists(path)) << "missing sample " << path;
    const Bytes card = testsupport::ReadFile(path);
    ASSERT_EQ(card.size(), cardformat::kCardImageSize);

    const Bytes dex = Convert(CardFormat::Bleem, CardFormat::DexDrive, card);
    EXPECT_EQ(dex.size(), 134976u);
    EXPECT_EQ(Convert(CardFormat::DexDrive, CardFormat::Bleem, dex), card);
    EXPECT_EQ(Convert(CardFormat::DexDrive, CardFormat::Vgs, dex),
              Convert(CardFormat::Bleem, CardFormat::Vgs, card));

    const Bytes vgs = Convert(CardFormat::Bleem, CardFormat::Vgs, card);
    EXPECT_EQ(vgs.size(), 131136u);
    EXPECT_EQ(Convert(CardFormat::Vgs, CardFormat::Bleem, vgs), card);
}

INSTANTIATE_TEST_SUITE_P(Samples, BareSampleTest,
                         testing::Values("MemoryCard2-1.mcd", "m1.mcd", "blank.mcd",
                                         "street-fighter-ex2-plus.17782.mcr"));

}  // namespace
