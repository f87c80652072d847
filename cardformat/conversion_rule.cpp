#include "cardformat/conversion_rule.h"

#include <algorithm>
#include <cstring>

namespace cardformat {

const ConversionRule* FindRule(CardFormat source, CardFormat target) {
    const auto* it = std::find_if(
        kConversionRules.begin(), kConversionRules.end(),
        [&](const ConversionRule& rule) { return rule.source == source && rule.target == target; });
    return it == kConversionRules.end() ? nullptr : &*it;
}

std::optional<std::size_t> LocateDexImage(ByteView source) {
    if (source.size() >= kDexHeaderSize + ImageSignature.size() &&
        std::memcmp(source.data() + kDexHeaderSize, ImageSignature.data(), ImageSignature.size()) ==
            0) {
        return kDexHeaderSize;
    }
    return FindImageSignature(source);
}

namespace {

ByteView HeaderBytes(HeaderKind kind) {
    switch (kind) {
        case HeaderKind::Vgs:
            return kVgsHeader;
        case HeaderKind::Dex:
            return kDexHeader;
        case HeaderKind::None:
            break;
    }
    return {};
}

}  // namespace

PlanResult PlanConversion(const ConversionRule& rule, ByteView source) {
    const std::size_t length = source.size();
    std::optional<std::size_t> signatureAt;

    switch (rule.accept) {
        case AcceptTest::ExactSize:
            if (length != rule.acceptSize) {
                return Rejection{Rejection::Reason::WrongSize, rule.acceptSize, length};
            }
            break;
        case AcceptTest::HasSignature:
            signatureAt = LocateDexImage(source);
            if (!signatureAt) {
                return Rejection{Rejection::Reason::NoSignature};
            }
            break;
        case AcceptTest::VgsHeaderMatches: {
            if (length < kVgsHeaderSize) {
                return Rejection{Rejection::Reason::HeaderTooShort, kVgsHeaderSize, length};
            }
            const auto mismatch =
                std::mismatch(kVgsHeader.begin(), kVgsHeader.end(), source.begin());
            if (mismatch.first != kVgsHeader.end()) {
                const auto at = static_cast<std::size_t>(mismatch.first - kVgsHeader.begin());
                return Rejection{Rejection::Reason::HeaderDiffers, 0, 0, at};
            }
            break;
        }
        case AcceptTest::None:
            break;
    }

    std::size_t begin = 0;
    switch (rule.sliceStart) {
        case SliceStart::Zero:
            break;
        case SliceStart::AfterVgsHeader:
            begin = kVgsHeaderSize;
            break;
        case SliceStart::Signature:
            // A rule that keeps the image from the signature always tests for it first.
            begin = signatureAt.value_or(length);
            break;
    }
    begin = std::min(begin, length);
    std::size_t count = length - begin;
    if (rule.sliceEnd == SliceEnd::AtMostOneImage) {
        count = std::min(count, kCardImageSize);
    }
    return ConversionPlan{HeaderBytes(rule.header), source.subspan(begin, count)};
}

ConvertResult ConvertBytes(const ConversionRule& rule, ByteView source) {
    PlanResult planned = PlanConversion(rule, source);
    if (const auto* rejection = std::get_if<Rejection>(&planned)) {
        return *rejection;
    }
    const auto& plan = std::get<ConversionPlan>(planned);
    std::vector<std::uint8_t> output;
    output.reserve(plan.size());
    output.insert(output.end(), plan.header.begin(), plan.header.end());
    output.insert(output.end(), plan.slice.begin(), plan.slice.end());
    return output;
}

}  // namespace cardformat
