#include "converter/profiles.h"

#include <algorithm>

namespace converter {

const ConverterProfile* FindProfile(std::string_view program) {
    const auto* it =
        std::find_if(kConverterProfiles.begin(), kConverterProfiles.end(),
                     [&](const ConverterProfile& profile) { return profile.program == program; });
    return it == kConverterProfiles.end() ? nullptr : &*it;
}

ConversionValues ConversionOf(const ConverterProfile& profile) {
    return {cardformat::FindRule(profile.source, profile.target), profile.listingPattern,
            profile.sourceEnding, profile.targetExtension};
}

namespace {

// "*.mcd" and friends, kept as constants so the views handed out stay valid.
constexpr std::array<std::string_view, 3> kPatterns{"*.mcd", "*.mem", "*.gme"};
constexpr std::array<std::string_view, 3> kBareExtensions{"mcd", "mem", "gme"};

static_assert(kPatterns[0].substr(1) == cardformat::ExtensionOf(CardFormat::Bleem));
static_assert(kPatterns[1].substr(1) == cardformat::ExtensionOf(CardFormat::Vgs));
static_assert(kPatterns[2].substr(1) == cardformat::ExtensionOf(CardFormat::DexDrive));

}  // namespace

ConversionValues ConversionBetween(CardFormat source, CardFormat target) {
    const auto from = static_cast<std::size_t>(source);
    const auto to = static_cast<std::size_t>(target);
    return {cardformat::FindRule(source, target), kPatterns[from], kPatterns[from].substr(1),
            kBareExtensions[to]};
}

}  // namespace converter
