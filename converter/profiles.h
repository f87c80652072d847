#pragma once

// The fixed settings of the six converter programs: one row each, and nothing else differs
// between them.

#include <array>
#include <string_view>

#include "cardformat/card_format.h"
#include "cardformat/conversion_rule.h"

namespace converter {

using cardformat::CardFormat;

enum class ConvertMode {
    Batch,    // every card of the source format in the chosen file's folder
    OneFile,  // the chosen file, saved where the user says
};

// What a conversion needs to know about names: which files it lists, which ending it replaces and
// the extension (without its dot, lower case) that it writes.
struct ConversionValues {
    const cardformat::ConversionRule* rule;
    std::string_view listingPattern;  // "*" followed by the source ending
    std::string_view sourceEnding;
    std::string_view targetExtension;
};

struct ConverterProfile {
    std::string_view program;
    CardFormat source;
    CardFormat target;
    ConvertMode mode;
    std::string_view listingPattern;
    std::string_view sourceEnding;
    std::string_view targetExtension;
};

inline constexpr std::array<ConverterProfile, 6> kConverterProfiles{{
    {"pelmark", CardFormat::Vgs, CardFormat::DexDrive, ConvertMode::Batch, "*.mem", ".mem", "gme"},
    {"dunsore", CardFormat::Bleem, CardFormat::DexDrive, ConvertMode::Batch, "*.mcd", ".mcd",
     "gme"},
    {"hobrast", CardFormat::DexDrive, CardFormat::Vgs, ConvertMode::Batch, "*.gme", ".gme", "mem"},
    {"vintrel", CardFormat::DexDrive, CardFormat::Bleem, ConvertMode::Batch, "*.gme", ".gme",
     "mcd"},
    {"morcade", CardFormat::Bleem, CardFormat::Vgs, ConvertMode::Batch, "*.mcd", ".mcd", "mem"},
    {"tesswick", CardFormat::Vgs, CardFormat::Bleem, ConvertMode::OneFile, "*.mem", ".mem", "mcd"},
}};

// The row of a program, or nullptr.
const ConverterProfile* FindProfile(std::string_view program);

ConversionValues ConversionOf(const ConverterProfile& profile);

// The values for any direction, derived from the formats' extensions; nullptr rule when the two
// formats are the same.
ConversionValues ConversionBetween(CardFormat source, CardFormat target);

}  // namespace converter
