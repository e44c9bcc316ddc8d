#include "TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Splits bytes into lines as they arrive, one character at a time, so that
// no line is ever cut by the size of a read.
class TLineSplitter {
public:
    TLineSplitter(std::string& text, std::size_t maxLines, TTextFileLimits& limits)
        : m_text(text), m_maxLines(maxLines), m_limits(limits) {}

    bool Full() const { return m_limits.Lines >= m_maxLines; }

    // Takes one character; false once maxLines lines are complete.
    bool Put(char c) {
        switch (m_state) {
        case State::AfterCR:
            if (c == '\r') {
                ++m_pendingCRs; // CRs before a line feed all belong to its break
                return true;
            }
            if (c == '\n') {
                m_pendingCRs = 0;
                m_state = State::InLine; // CR LF complete: a CR now starts a new break
                return true;
            }
            // Lone CRs: each but the first ends an empty line.
            for (; m_pendingCRs > 1; --m_pendingCRs) {
                if (!EndLine()) {
                    return false;
                }
            }
            m_pendingCRs = 0;
            m_state = State::InLine;
            break;
        case State::AfterLF:
            m_state = State::InLine;
            if (c == '\r') {
                return true; // LF CR is one break
            }
            break;
        case State::InLine: break;
        }
        if (c == '\r' || c == '\n') {
            if (!EndLine()) {
                return false;
            }
            m_state = c == '\r' ? State::AfterCR : State::AfterLF;
            m_pendingCRs = c == '\r' ? 1 : 0;
            return true;
        }
        m_open = true;
        ++m_length;
        if (c == '\0') {
            m_nul = true;
        } else if (!m_nul && m_line.size() < kMaxLineLength) {
            m_line += c;
        }
        return true;
    }

    // The end of the input: a line without a break still counts.
    void Finish() {
        if (m_open) {
            static_cast<void>(EndLine());
        }
    }

private:
    enum class State { InLine, AfterCR, AfterLF };

    bool EndLine() {
        if (Full()) {
            return false;
        }
        ++m_limits.Lines;
        if (m_length > kMaxLineLength) {
            m_limits.LongLines.push_back({m_limits.Lines, m_length});
        }
        m_text += m_line;
        m_text += "\r\n";
        m_line.clear();
        m_length = 0;
        m_open = false;
        m_nul = false;
        return !Full();
    }

    std::string& m_text;
    std::size_t m_maxLines;
    TTextFileLimits& m_limits;
    std::string m_line;
    std::size_t m_length = 0; // characters of the line, also those not kept
    bool m_open = false;      // the line has characters
    bool m_nul = false;       // a NUL ended its text
    State m_state = State::InLine;
    int m_pendingCRs = 0;
};

} // namespace

bool ReadTextFile(const std::string& path, std::string& text, std::string& error,
                  std::size_t maxLines, TTextFileLimits* limits) {
    text.clear();
    error.clear();
    TTextFileLimits local;
    TTextFileLimits& out = limits != nullptr ? *limits : local;
    out = {};
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    TLineSplitter lines(text, maxLines, out);
    char chunk[65536];
    std::size_t total = 0;
    bool more = true;
    while (more) {
        const std::size_t want = std::min(sizeof chunk, kMaxTextBytes - total);
        const std::size_t got = want == 0 ? 0 : std::fread(chunk, 1, want, file.get());
        total += got;
        for (std::size_t i = 0; i < got; ++i) {
            if (!lines.Put(chunk[i])) {
                // maxLines complete: whatever follows cannot change them.
                // The rest of the last line's break (the LF of CR LF) is no
                // more of the file.
                std::size_t j = i + 1;
                const auto next = [&]() -> int {
                    return j < got ? static_cast<unsigned char>(chunk[j++])
                                   : std::fgetc(file.get());
                };
                int after = next();
                if (chunk[i] == '\r') {
                    while (after == '\r') {
                        after = next();
                    }
                    if (after == '\n') {
                        after = next();
                    }
                } else if (chunk[i] == '\n' && after == '\r') {
                    after = next();
                }
                out.Cut = after != EOF;
                return true;
            }
        }
        if (std::ferror(file.get())) {
            error = std::strerror(errno);
            return false;
        }
        if (got < want) {
            more = false;
        } else if (total >= kMaxTextBytes) {
            out.Cut = std::fgetc(file.get()) != EOF;
            more = false;
        }
    }
    lines.Finish();
    return true;
}

std::string ReadTextFile(const std::string& path) {
    std::string text;
    std::string error;
    if (!ReadTextFile(path, text, error)) {
        return {};
    }
    return text;
}
