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

// A control's box in twips (1/1440 inch; 15 twips are one pixel at 96 dots per inch), measured
// from the top left corner of the window's client area.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

enum class WindowIcon {
    DexDriveMark,  // the DexDrive mark
    Player,        // a player with a controller before a screen
};

// Everything that differs between the six converter programs. The window shows the picture of
// `source` and, on its Convert button, that of `target`.
struct ConverterProfile {
    std::string_view program;
    std::string_view windowName;
    CardFormat source;
    CardFormat target;
    ConvertMode mode;
    std::string_view listingPattern;
    std::string_view sourceEnding;
    std::string_view targetExtension;

    std::string_view caption;
    std::string_view label1;       // what the path box is for
    std::string_view description;  // the status line's text when the window opens
    std::string_view filter;       // the browse dialog's "|"-separated filter

    int clientWidth;  // twips
    int clientHeight;
    int txtSourceLeft;
    int txtSourceWidth;
    int label1Left;
    int label1Width;
    TwipsRect image1;
    bool image1Stretched;  // the picture squeezed into its box rather than at its own size
    int label3Height;
    int label2Top;
    WindowIcon icon;
};

// clang-format off
inline constexpr std::array<ConverterProfile, 6> kConverterProfiles{{
    {"pelmark", "frmPelmark", CardFormat::Vgs, CardFormat::DexDrive, ConvertMode::Batch,
     "*.mem", ".mem", "gme",
     "Virtual Game Station to DexDrive [Batch Conversion]",
     "VGS Memory Cards Directory:",
     "This tool converts memory cards from VGS to DexDrive format in batch mode.",
     "Virtual Game Station Memory Cards (*.mem)|*.mem|All files (*.*)|*.*",
     4275, 1785, 900, 2835, 915, 2970, {75, 45, 645, 660}, false, 585, 1455,
     WindowIcon::DexDriveMark},
    {"dunsore", "frmDunsore", CardFormat::Bleem, CardFormat::DexDrive, ConvertMode::Batch,
     "*.mcd", ".mcd", "gme",
     "Bleem! to DexDrive [Batch Conversion]",
     "Bleem! Memory Cards Directory:",
     "This tool converts memory cards from Bleem! to DexDrive format in batch mode.",
     "Bleem! Memory Cards (*.mcd)|*.mcd|All files (*.*)|*.*",
     4275, 1800, 900, 2835, 915, 2970, {120, 75, 555, 525}, false, 585, 1455,
     WindowIcon::DexDriveMark},
    {"hobrast", "frmHobrast", CardFormat::DexDrive, CardFormat::Vgs, ConvertMode::Batch,
     "*.gme", ".gme", "mem",
     "DexDrive to Virtual Game Station [Batch Conversion]",
     "DexDrive Memory Cards Directory:",
     "This tool converts memory cards from DexDrive to VGS format in batch mode.",
     "DexDrive Memory Cards (*.gme)|*.gme|All files (*.*)|*.*",
     4275, 1770, 900, 2835, 915, 2970, {60, 105, 795, 480}, true, 585, 1455,
     WindowIcon::DexDriveMark},
    {"vintrel", "frmVintrel", CardFormat::DexDrive, CardFormat::Bleem, ConvertMode::Batch,
     "*.gme", ".gme", "mcd",
     "DexDrive to bleem! [Batch Conversion]",
     "DexDrive Memory Cards Directory:",
     "This tool converts memory cards from DexDrive to bleem! format in batch mode.",
     "DexDrive Memory Cards (*.gme)|*.gme|All files (*.*)|*.*",
     4275, 1770, 900, 2835, 915, 2970, {60, 105, 765, 480}, true, 585, 1455,
     WindowIcon::DexDriveMark},
    {"morcade", "frmMorcade", CardFormat::Bleem, CardFormat::Vgs, ConvertMode::Batch,
     "*.mcd", ".mcd", "mem",
     "Bleem! to Virtual Game Station [Batch Conversion]",
     "Bleem Memory Cards Directory:",
     "This tool converts memory cards from Bleem! to VGS format in batch mode.",
     "Bleem Memory Cards (*.mcd)|*.mcd|All files (*.*)|*.*",
     4275, 1710, 690, 3060, 705, 2970, {30, 15, 555, 525}, false, 585, 1455,
     WindowIcon::Player},
    {"tesswick", "frmTesswick", CardFormat::Vgs, CardFormat::Bleem, ConvertMode::OneFile,
     "*.mem", ".mem", "mcd",
     "Virtual Game Station to Bleem!",
     "Virtual Game Station Memory Card:",
     "This tool converts memory cards from VGS to Bleem! format.",
     "VGS Memory Card (*.mem)|*.mem|All files (*.*)|*.*",
     4275, 1710, 690, 3060, 705, 3015, {30, 15, 645, 660}, false, 540, 1320,
     WindowIcon::Player},
}};
// clang-format on

// The row of a program, or nullptr.
const ConverterProfile* FindProfile(std::string_view program);

ConversionValues ConversionOf(const ConverterProfile& profile);

// The values for any direction, derived from the formats' extensions; nullptr rule when the two
// formats are the same.
ConversionValues ConversionBetween(CardFormat source, CardFormat target);

}  // namespace converter
