#include "stream/text_form_tokenizer.h"

#include "stream/text_form.h"

#include <cstring>

namespace corvane::stream::textform {

namespace {

bool isWordStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isWordChar(char c) {
    return isWordStart(c) || isDigit(c);
}

int hexValue(char c) {
    if (isDigit(c)) {
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

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    std::vector<Token> run() {
        std::vector<Token> tokens;
        while (true) {
            const bool glued = !skipBlanks();
            Token token;
            token.line = line_;
            token.glued = glued;
            if (pos_ >= text_.size()) {
                tokens.push_back(std::move(token));
                return tokens;
            }
            const char c = text_[pos_];
            if (isWordStart(c)) {
                token.kind = TokenKind::Word;
                token.text = word();
            } else if (isDigit(c) || (c == '-' && pos_ + 1 < text_.size() && isDigit(text_[pos_ + 1]))) {
                token.kind = TokenKind::Number;
                token.text = number();
            } else if (c == '\'' || c == '#') {
                token.kind = TokenKind::Text;
                token.pieces = textPieces();
            } else if (c == '{') {
                token.kind = TokenKind::Hex;
                token.bytes = hex();
            } else if (std::strchr("=:[](),<>", c)) {
                token.kind = TokenKind::Punct;
                token.text = std::string(1, c);
                ++pos_;
            } else {
                throw TextFormError(line_, "unexpected character '" + printable(c) + "'");
            }
            tokens.push_back(std::move(token));
        }
    }

private:
    static std::string printable(char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte < 0x7F ? std::string(1, c) : "#" + std::to_string(byte);
    }

    // Skips blanks, line breaks and comments; returns whether it skipped anything.
    bool skipBlanks() {
        const size_t start = pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/') {
                while (pos_ < text_.size() && text_[pos_] != '\n') {
                    ++pos_;
                }
            } else {
                break;
            }
        }
        return pos_ != start;
    }

    std::string word() {
        const size_t start = pos_;
        while (pos_ < text_.size()) {
            if (isWordChar(text_[pos_])) {
                ++pos_;
            } else if (text_[pos_] == '.' && pos_ + 1 < text_.size() && isWordStart(text_[pos_ + 1])) {
                pos_ += 2;
            } else {
                break;
            }
        }
        return std::string(text_.substr(start, pos_ - start));
    }

    std::string number() {
        const size_t start = pos_;
        if (text_[pos_] == '-') {
            ++pos_;
        }
        while (pos_ < text_.size() && (isWordChar(text_[pos_]) || text_[pos_] == '.' ||
                                       ((text_[pos_] == '-' || text_[pos_] == '+') &&
                                        (text_[pos_ - 1] == 'e' || text_[pos_ - 1] == 'E')))) {
            ++pos_;
        }
        return std::string(text_.substr(start, pos_ - start));
    }

    std::vector<TextPiece> textPieces() {
        std::vector<TextPiece> pieces;
        while (pos_ < text_.size() && (text_[pos_] == '\'' || text_[pos_] == '#')) {
            TextPiece piece;
            if (text_[pos_] == '#') {
                piece.escape = true;
                ++pos_;
                const size_t start = pos_;
                while (pos_ < text_.size() && isDigit(text_[pos_])) {
                    piece.code = piece.code * 10 + static_cast<uint32_t>(text_[pos_] - '0');
                    if (piece.code > 0xFFFF) {
                        throw TextFormError(line_, "a # escape is at most 65535");
                    }
                    ++pos_;
                }
                if (pos_ == start) {
                    throw TextFormError(line_, "# must be followed by a decimal number");
                }
            } else {
                ++pos_;
                while (true) {
                    if (pos_ >= text_.size() || text_[pos_] == '\n') {
                        throw TextFormError(line_, "unterminated text: a ' is missing");
                    }
                    if (text_[pos_] == '\'') {
                        if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                            piece.quoted += '\'';
                            pos_ += 2;
                            continue;
                        }
                        ++pos_;
                        break;
                    }
                    piece.quoted += text_[pos_++];
                }
            }
            pieces.push_back(std::move(piece));
        }
        return pieces;
    }

    std::vector<uint8_t> hex() {
        const int startLine = line_;
        ++pos_;
        std::vector<uint8_t> bytes;
        int high = -1;
        while (true) {
            if (pos_ >= text_.size()) {
                throw TextFormError(startLine, "byte block without its closing }");
            }
            const char c = text_[pos_++];
            if (c == '}') {
                break;
            }
            if (c == '\n') {
                ++line_;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\r') {
                continue;
            }
            const int digit = hexValue(c);
            if (digit < 0) {
                throw TextFormError(line_, "a byte block holds hex digits only, not '" + printable(c) + "'");
            }
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<uint8_t>(high * 16 + digit));
                high = -1;
            }
        }
        if (high >= 0) {
            throw TextFormError(line_, "a byte block needs an even number of hex digits");
        }
        return bytes;
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
};

} // namespace

std::vector<Token> tokenize(std::string_view text) {
    return Tokenizer(text).run();
}

} // namespace corvane::stream::textform
