#pragma once
/// \file ColorCodeParser.h
/// The inline colour-code language of the rich-text view, without any widget:
/// a text such as "x=[G]1.5[/]" becomes runs of text with a colour and a style
/// set. The view appends these runs; the command line turns them into terminal
/// colours or drops the codes.
///
/// Codes, between '[' and ']' (letters compared case-insensitively):
///   [/...]      back to black, no style
///   [R] [G] ... one of the sixteen colour letters
///   [=B] [=I] [=U] [=S]   add bold, italic, underline, strike-out
///   [0xBBGGRR]  a colour in hexadecimal
/// Anything else between brackets is ordinary text without the brackets.
/// With SuppressAnsi, an ESC and everything up to the next ASCII letter is
/// dropped. Every call starts in black without style.

#include "Color.h"
#include "FontStyles.h"
#include "VynExport.h"

#include <string>
#include <string_view>
#include <vector>

/// A piece of text in one colour and style.
struct VYN_EXPORT TColorRun {
    std::string Text;       ///< Windows-1252, without codes
    TColor Color = clBlack; ///< its colour
    TFontStyles Style;      ///< its styles
};

/// How a text is read.
struct VYN_EXPORT TColorCodeOptions {
    bool EnableColors = false; ///< codes are obeyed; else they are plain text
    bool SuppressAnsi = false; ///< ANSI escape sequences are dropped
};

/// The colour of a one-letter code, or false when the letter names none.
VYN_EXPORT bool ColorFromLetter(char letter, TColor& color);

/// Calls onRun(const TColorRun&) for each non-empty run, in order. Runs are
/// passed by reference to a buffer that the next run reuses.
template <class Emit>
void ParseColorCodes(std::string_view text, TColorCodeOptions options, Emit&& onRun);

/// The runs of the text, in order, without empty ones.
VYN_EXPORT std::vector<TColorRun> ParseColorCodes(std::string_view text, TColorCodeOptions options);

/// The text with the codes taken out: what the view shows.
VYN_EXPORT std::string StripColorCodes(std::string_view text, TColorCodeOptions options);

// ---------------------------------------------------------------------------

namespace colorcodes_detail {

VYN_EXPORT bool InterpretCode(std::string_view code, TColor& color, TFontStyles& style);

} // namespace colorcodes_detail

template <class Emit>
void ParseColorCodes(std::string_view text, TColorCodeOptions options, Emit&& onRun) {
    enum class State { Normal, Code, Skip };
    constexpr std::size_t kCodeCapacity = 9;

    TColorRun run;
    run.Text.reserve(text.size());
    auto flush = [&] {
        if (!run.Text.empty()) {
            onRun(static_cast<const TColorRun&>(run));
            run.Text.clear();
        }
    };

    State state = State::Normal;
    char code[kCodeCapacity];
    std::size_t codeLength = 0;
    for (char c : text) {
        switch (state) {
        case State::Normal:
            if (c == '[' && options.EnableColors) {
                codeLength = 0;
                state = State::Code;
            } else if (c == '\x1b' && options.SuppressAnsi) {
                state = State::Skip;
            } else {
                run.Text += c;
            }
            break;
        case State::Code:
            if (c == ']') {
                flush();
                const std::string_view body(code, codeLength);
                if (!colorcodes_detail::InterpretCode(body, run.Color, run.Style)) {
                    run.Text += body;
                }
                state = State::Normal;
            } else if (c == '[') {
                run.Text.append(code, codeLength);
                run.Text += '[';
                state = State::Normal;
            } else if (codeLength < kCodeCapacity) {
                code[codeLength++] = c;
            } else {
                run.Text.append(code, codeLength);
                run.Text += c;
                state = State::Normal;
            }
            break;
        case State::Skip:
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
                state = State::Normal;
            }
            break;
        }
    }
    flush();
}
