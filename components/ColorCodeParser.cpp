#include "ColorCodeParser.h"

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

bool ColorFromLetter(char letter, TColor& color) {
    switch (Upper(letter)) {
    case 'A': color = clAqua; return true;
    case 'B': color = clBlue; return true;
    case 'F': color = clFuchsia; return true;
    case 'G': color = clGreen; return true;
    case 'I': color = clLime; return true;
    case 'L': color = clGray; return true;
    case 'M': color = clMaroon; return true;
    case 'N': color = clNavy; return true;
    case 'O': color = clOlive; return true;
    case 'P': color = clPurple; return true;
    case 'R': color = clRed; return true;
    case 'S': color = clSilver; return true;
    case 'T': color = clTeal; return true;
    case 'W': color = clWhite; return true;
    case 'Y': color = clYellow; return true;
    case 'Z': color = clBlack; return true;
    default: return false;
    }
}

namespace colorcodes_detail {

bool InterpretCode(std::string_view code, TColor& color, TFontStyles& style) {
    if (!code.empty() && code[0] == '/') {
        color = clBlack;
        style = TFontStyles();
        return true;
    }
    if (code.size() == 1) {
        return ColorFromLetter(code[0], color);
    }
    if (code.size() == 2 && code[0] == '=') {
        switch (Upper(code[1])) {
        case 'B': style += TFontStyle::fsBold; return true;
        case 'I': style += TFontStyle::fsItalic; return true;
        case 'U': style += TFontStyle::fsUnderline; return true;
        case 'S': style += TFontStyle::fsStrikeOut; return true;
        default: return false;
        }
    }
    if (code.size() == 8 && code[0] == '0' && Upper(code[1]) == 'X') {
        // Read up to the first character that is not a hex digit; what was
        // read so far is the colour.
        std::uint32_t value = 0;
        for (std::size_t i = 2; i < 8; ++i) {
            const int d = HexDigit(code[i]);
            if (d < 0) {
                break;
            }
            value = value * 16 + static_cast<std::uint32_t>(d);
        }
        color = TColor{value};
        return true;
    }
    return false;
}

} // namespace colorcodes_detail

std::vector<TColorRun> ParseColorCodes(std::string_view text, TColorCodeOptions options) {
    std::vector<TColorRun> runs;
    ParseColorCodes(text, options, [&](const TColorRun& run) { runs.push_back(run); });
    return runs;
}

std::string StripColorCodes(std::string_view text, TColorCodeOptions options) {
    std::string plain;
    plain.reserve(text.size());
    ParseColorCodes(text, options, [&](const TColorRun& run) { plain += run.Text; });
    return plain;
}
