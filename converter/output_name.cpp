#include "converter/output_name.h"

#include <algorithm>

namespace converter {

namespace {

template <class Char>
Char FoldAscii(Char c) {
    return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <class Char>
bool EndsWithFolded(std::basic_string_view<Char> name, std::string_view ending) {
    if (name.size() < ending.size()) {
        return false;
    }
    const auto tail = name.substr(name.size() - ending.size());
    return std::equal(tail.begin(), tail.end(), ending.begin(), [](Char a, char b) {
        return FoldAscii(a) == FoldAscii(static_cast<Char>(static_cast<unsigned char>(b)));
    });
}

template <class Char>
std::basic_string<Char> OutputNameImpl(std::basic_string_view<Char> name,
                                       std::string_view sourceEnding,
                                       std::string_view targetExtension) {
    std::basic_string<Char> result;
    // The ending's dot is kept; only the extension's letters are replaced.
    if (!sourceEnding.empty() && EndsWithFolded(name, sourceEnding)) {
        result.assign(name.substr(0, name.size() - (sourceEnding.size() - 1)));
    } else {
        result.assign(name);
        result.push_back(Char('.'));
    }
    for (char c : targetExtension) {
        result.push_back(static_cast<Char>(static_cast<unsigned char>(c)));
    }
    return result;
}

}  // namespace

std::string OutputNameFor(std::string_view name, std::string_view sourceEnding,
                          std::string_view targetExtension) {
    return OutputNameImpl(name, sourceEnding, targetExtension);
}

std::wstring OutputNameFor(std::wstring_view name, std::string_view sourceEnding,
                           std::string_view targetExtension) {
    return OutputNameImpl(name, sourceEnding, targetExtension);
}

std::filesystem::path OutputPathFor(const std::filesystem::path& name,
                                    std::string_view sourceEnding,
                                    std::string_view targetExtension) {
    using View = std::basic_string_view<std::filesystem::path::value_type>;
    return OutputNameImpl(View(name.native()), sourceEnding, targetExtension);
}

bool EndsWithIgnoringCase(std::string_view name, std::string_view ending) {
    return EndsWithFolded(name, ending);
}

bool EndsWithIgnoringCase(std::wstring_view name, std::string_view ending) {
    return EndsWithFolded(name, ending);
}

std::string DeriveFolder(std::string_view sourceText) {
    constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
    const auto last = sourceText.rfind(kSeparator);
    if (last == std::string_view::npos) {
        return std::string(sourceText) + kSeparator;
    }
    return std::string(sourceText.substr(0, last + 1));
}

std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string PathToDisplay(const std::filesystem::path& path) {
#ifdef _WIN32
    // By hand rather than through u8string(), which throws on an unpaired surrogate: Windows names
    // may hold one, and a message about such a file must not end the program.
    const std::wstring& wide = path.native();
    std::string text;
    text.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char16_t>(wide[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(wide[++i]) - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (c >> 18));
            text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
#else
    return path.native();
#endif
}

}  // namespace converter
