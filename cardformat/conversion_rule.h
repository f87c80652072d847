#pragma once

// The six directions of conversion between the three card formats, as rows of one table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "cardformat/card_format.h"

namespace cardformat {

// What a rule checks of a source before it accepts it.
enum class AcceptTest {
    ExactSize,         // the source is exactly `acceptSize` bytes long
    HasSignature,      // the source holds ImageSignature somewhere
    VgsHeaderMatches,  // the first 64 bytes equal the VGS header
    None,              // every source is accepted
};

enum class HeaderKind { None, Vgs, Dex };

// Where the kept slice of the source begins.
enum class SliceStart { Zero, AfterVgsHeader, Signature };

// How far the kept slice runs.
enum class SliceEnd { SourceEnd, AtMostOneImage };

struct ConversionRule {
    CardFormat source;
    CardFormat target;
    AcceptTest accept;
    std::size_t acceptSize;  // only for AcceptTest::ExactSize
    HeaderKind header;
    SliceStart sliceStart;
    SliceEnd sliceEnd;
};

inline constexpr std::array<ConversionRule, 6> kConversionRules{{
    {CardFormat::Vgs, CardFormat::DexDrive, AcceptTest::ExactSize, kVgsHeaderSize + kCardImageSize,
     HeaderKind::Dex, SliceStart::AfterVgsHeader, SliceEnd::SourceEnd},
    {CardFormat::Bleem, CardFormat::DexDrive, AcceptTest::ExactSize, kCardImageSize,
     HeaderKind::Dex, SliceStart::Zero, SliceEnd::SourceEnd},
    {CardFormat::DexDrive, CardFormat::Vgs, AcceptTest::HasSignature, 0, HeaderKind::Vgs,
     SliceStart::Signature, SliceEnd::AtMostOneImage},
    {CardFormat::DexDrive, CardFormat::Bleem, AcceptTest::HasSignature, 0, HeaderKind::None,
     SliceStart::Signature, SliceEnd::AtMostOneImage},
    {CardFormat::Bleem, CardFormat::Vgs, AcceptTest::None, 0, HeaderKind::Vgs, SliceStart::Zero,
     SliceEnd::SourceEnd},
    {CardFormat::Vgs, CardFormat::Bleem, AcceptTest::VgsHeaderMatches, 0, HeaderKind::None,
     SliceStart::AfterVgsHeader, SliceEnd::SourceEnd},
}};

// The rule of one direction; there is none from a format to itself.
const ConversionRule* FindRule(CardFormat source, CardFormat target);

// Why a rule turned a source down.
struct Rejection {
    enum class Reason {
        WrongSize,       // `expected` and `found` are sizes
        NoSignature,     // no ImageSignature anywhere
        HeaderTooShort,  // fewer than 64 bytes: `expected` and `found` are sizes
        HeaderDiffers,   // `offset` is the first byte that differs from the VGS header
    };
    Reason reason;
    std::size_t expected = 0;
    std::size_t found = 0;
    std::size_t offset = 0;

    friend bool operator==(const Rejection&, const Rejection&) = default;
};

// An accepted conversion, before any byte is copied: the output is `header` followed by `slice`.
// Both views point into the rule's constant header and into the caller's source.
struct ConversionPlan {
    ByteView header;
    ByteView slice;

    std::size_t size() const { return header.size() + slice.size(); }
};

using PlanResult = std::variant<ConversionPlan, Rejection>;
using ConvertResult = std::variant<std::vector<std::uint8_t>, Rejection>;

// Where a DexDrive reader takes the card image from: offset 3904 when the signature stands there,
// since every DexDrive file puts its image there and a per-block comment in the header can itself
// end in "MC" and zero padding; otherwise the first occurrence of the signature.
std::optional<std::size_t> LocateDexImage(ByteView source);

PlanResult PlanConversion(const ConversionRule& rule, ByteView source);

// The whole content of the target file for the whole content of a source file, or a rejection.
ConvertResult ConvertBytes(const ConversionRule& rule, ByteView source);

}  // namespace cardformat
