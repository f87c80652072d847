// cardconv: the converters' rules and batch flow on the command line, for scripts and for users
// without a desktop.

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cardformat/card_format.h"
#include "cardformat/conversion_rule.h"
#include "converter/batch.h"
#include "converter/file_access.h"
#include "converter/native_io.h"
#include "converter/output_name.h"
#include "converter/profiles.h"

namespace {

namespace fs = std::filesystem;
using cardformat::CardFormat;

constexpr int kExitOk = 0;
constexpr int kExitSomeFailed = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kVersion = "cardconv (PlayStation memory-card converters) 0.1.0";

constexpr std::string_view kUsage =
    "Usage: cardconv convert --from FMT --to FMT SOURCE [OUTPUT]\n"
    "       cardconv batch --from FMT --to FMT PATH\n"
    "       cardconv --help | --version\n";

constexpr std::string_view kHelp =
    "Convert PlayStation memory-card files between the bleem!, Virtual Game Station and\n"
    "DexDrive formats.\n"
    "\n"
    "  convert   convert SOURCE into OUTPUT (default: SOURCE with the target extension)\n"
    "  batch     convert every card of the source format in the folder of PATH; a PATH\n"
    "            that ends in a separator is that folder itself\n"
    "\n"
    "  --from FMT, --to FMT   bleem or mcd, vgs or mem, dexdrive or gme\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Outputs are written whole or not at all; a read-only output is left as it is.\n"
    "Exit status: 0 when every file converted, 1 when any file was rejected or not\n"
    "written, 2 on a usage error.\n";

std::optional<CardFormat> ParseFormat(std::string_view name) {
    if (name == "bleem" || name == "mcd") {
        return CardFormat::Bleem;
    }
    if (name == "vgs" || name == "mem") {
        return CardFormat::Vgs;
    }
    if (name == "dexdrive" || name == "gme") {
        return CardFormat::DexDrive;
    }
    return std::nullopt;
}

std::string Describe(const cardformat::Rejection& rejection) {
    using Reason = cardformat::Rejection::Reason;
    switch (rejection.reason) {
        case Reason::WrongSize:
            return "rejected: size is " + std::to_string(rejection.found) + " bytes, expected " +
                   std::to_string(rejection.expected);
        case Reason::NoSignature:
            return "rejected: no card image (\"MC\" and four zero bytes) found";
        case Reason::HeaderTooShort:
            return "rejected: " + std::to_string(rejection.found) +
                   " bytes, shorter than the 64-byte VGS header";
        case Reason::HeaderDiffers:
            return "rejected: not a VGS header (byte " + std::to_string(rejection.offset) +
                   " differs)";
    }
    return "rejected";
}

std::string Describe(converter::ReadError why, std::error_code error) {
    using converter::ReadError;
    switch (why) {
        case ReadError::Empty:
            return "not read: the file is empty";
        case ReadError::NotAFile:
            return "not read: not a plain file";
        case ReadError::TooLarge:
            return "not read: larger than any card file";
        case ReadError::Changed:
            return "not read: the file changed while it was read";
        case ReadError::Unreadable:
        case ReadError::None:
            break;
    }
    return "not read: " + error.message();
}

std::string Describe(const converter::WriteResult& result) {
    if (result.outcome == converter::WriteOutcome::ReadOnly) {
        return "not written: the existing file is read-only";
    }
    return "not written: " + result.error.message();
}

// A path for one line of a report. A name may hold line ends, tabs or terminal escape sequences:
// those bytes are written as \n, \r, \t or \xHH, so that each report stays on its own line and no
// name can steer the terminal. Every other byte is passed on as it is.
std::string Shown(const fs::path& path) {
    std::string shown;
    for (const char c : converter::PathToDisplay(path)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

void Complain(const fs::path& file, const std::string& why) {
    std::cerr << "cardconv: " << Shown(file) << ": " << why << '\n';
}

class PrintingObserver final : public converter::BatchObserver {
  public:
    void written(const fs::path& source, const fs::path& output, int) override {
        std::cout << Shown(source) << " -> " << Shown(output) << '\n';
    }
    void rejected(const fs::path& source, const cardformat::Rejection& why) override {
        Complain(source, Describe(why));
    }
    void notRead(const fs::path& source, converter::ReadError why, std::error_code error) override {
        Complain(source, Describe(why, error));
    }
    void notWritten(const fs::path&, const fs::path& output,
                    const converter::WriteResult& why) override {
        Complain(output, Describe(why));
    }
};

int RunConvert(const converter::ConversionValues& values, const std::string& sourceText,
               const std::optional<std::string>& outputText) {
    const fs::path source = converter::PathFromUtf8(sourceText);
    std::vector<std::uint8_t> content;
    std::error_code error;
    const converter::ReadError read = converter::ReadSourceFile(source, content, error);
    if (read != converter::ReadError::None) {
        Complain(source, Describe(read, error));
        return kExitSomeFailed;
    }
    const auto planned = cardformat::PlanConversion(*values.rule, content);
    if (const auto* rejection = std::get_if<cardformat::Rejection>(&planned)) {
        Complain(source, Describe(*rejection));
        return kExitSomeFailed;
    }
    const fs::path output =
        outputText ? converter::PathFromUtf8(*outputText)
                   : converter::OutputPathFor(source, values.sourceEnding, values.targetExtension);
    const auto& plan = std::get<cardformat::ConversionPlan>(planned);
    const converter::WriteResult result =
        converter::WriteOutputFile(output, plan.header, plan.slice);
    if (result.outcome != converter::WriteOutcome::Written) {
        Complain(output, Describe(result));
        return kExitSomeFailed;
    }
    std::cout << Shown(source) << " -> " << Shown(output) << '\n';
    return kExitOk;
}

int RunBatch(const converter::ConversionValues& values, const std::string& pathText) {
    const fs::path folder = converter::PathFromUtf8(converter::DeriveFolder(pathText));
    PrintingObserver observer;
    const converter::BatchTally tally = converter::ConvertListedFiles(folder, values, observer);
    if (!tally.listed) {
        Complain(folder, "cannot list this folder");
    }
    std::cout << converter::FinalMessage(tally) << '\n';
    const bool allConverted =
        tally.listed && tally.rejected == 0 && tally.notRead == 0 && tally.notWritten == 0;
    return allConverted ? kExitOk : kExitSomeFailed;
}

int UsageError(std::string_view what) {
    std::cerr << "cardconv: " << what << '\n' << kUsage;
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = converter::native::CommandLineArguments(argc, argv);
    if (args.empty()) {
        return UsageError("no command given");
    }
    if (args[0] == "--help") {
        std::cout << kUsage << '\n' << kHelp;
        return kExitOk;
    }
    if (args[0] == "--version") {
        std::cout << kVersion << '\n';
        return kExitOk;
    }
    const std::string& command = args[0];
    if (command != "convert" && command != "batch") {
        return UsageError("unknown command '" + command + "'");
    }

    std::optional<CardFormat> from;
    std::optional<CardFormat> to;
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && (arg == "--from" || arg == "--to")) {
            if (i + 1 >= args.size()) {
                return UsageError("option '" + arg + "' needs a format");
            }
            const auto format = ParseFormat(args[++i]);
            if (!format) {
                return UsageError("unknown format '" + args[i] + "'");
            }
            (arg == "--from" ? from : to) = format;
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option '" + arg + "'");
        } else {
            operands.push_back(arg);
        }
    }
    if (!from || !to) {
        return UsageError("both --from and --to are needed");
    }
    const converter::ConversionValues values = converter::ConversionBetween(*from, *to);
    if (values.rule == nullptr) {
        return UsageError("source and target format are the same");
    }
    if (command == "convert") {
        if (operands.empty() || operands.size() > 2) {
            return UsageError("convert takes SOURCE and an optional OUTPUT");
        }
        const std::optional<std::string> output =
            operands.size() == 2 ? std::optional(operands[1]) : std::nullopt;
        return RunConvert(values, operands[0], output);
    }
    if (operands.size() != 1 || operands[0].empty()) {
        return UsageError("batch takes one PATH");
    }
    return RunBatch(values, operands[0]);
}
