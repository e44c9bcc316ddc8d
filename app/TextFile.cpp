#include "TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr std::size_t kLineBuffer = 1000;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

bool ReadTextFile(const std::string& path, std::string& text, std::string& error,
                  std::size_t maxLines) {
    text.clear();
    error.clear();
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = std::strerror(errno);
        return false;
    }

    // Read everything, turning CR LF into LF as a text-mode stream does. The
    // pieces below are cut only after this, so a CR LF that straddles a
    // 999-character boundary still counts as one character.
    // A line is at most 999 characters of the stream, so maxLines lines never
    // need more of it than this.
    const std::size_t enough = maxLines < static_cast<std::size_t>(-1) / kLineBuffer
                                   ? maxLines * (kLineBuffer - 1)
                                   : static_cast<std::size_t>(-1);
    std::string stream;
    char chunk[65536];
    bool pendingCR = false;
    while (stream.size() < enough) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        for (std::size_t i = 0; i < got; ++i) {
            const char c = chunk[i];
            if (pendingCR) {
                pendingCR = false;
                if (c != '\n') {
                    stream += '\r';
                }
            }
            if (c == '\r') {
                pendingCR = true;
            } else {
                stream += c;
            }
        }
        if (got < sizeof chunk) {
            break;
        }
    }
    if (pendingCR) {
        stream += '\r';
    }
    if (std::ferror(file.get())) {
        error = std::strerror(errno);
        return false;
    }

    // Split as the 1000-character line reader would: a piece ends after a
    // line feed, after 999 characters, or at the end of the stream.
    std::size_t pos = 0;
    std::size_t lines = 0;
    while (pos < stream.size() && lines++ < maxLines) {
        std::size_t end = pos;
        const std::size_t limit = std::min(stream.size(), pos + kLineBuffer - 1);
        while (end < limit) {
            if (stream[end++] == '\n') {
                break;
            }
        }
        std::string piece = stream.substr(pos, end - pos);
        // The piece is handled as a C string from here on.
        const std::size_t nul = piece.find('\0');
        if (nul != std::string::npos) {
            piece.resize(nul);
        }
        StripLineEnd(piece);
        text += piece;
        text += "\r\n";
        pos = end;
    }
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
