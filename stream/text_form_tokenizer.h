#pragma once

// The tokens of the text form: words, numbers, texts (quoted pieces and #n escapes), byte blocks in
// braces and punctuation, each with its line. Comments (// to the end of the line) are dropped.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::stream::textform {

enum class TokenKind { Word, Number, Text, Hex, Punct, End };

// One quoted piece or one #n escape of a text literal.
struct TextPiece {
    bool escape = false;
    std::string quoted;
    uint32_t code = 0;
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // Word, Number, Punct
    std::vector<TextPiece> pieces;
    std::vector<uint8_t> bytes;
    int line = 1;
    bool glued = false; // no blank or line break before it
};

// All tokens of `text`, ending with one of kind End. Throws TextFormError for a character or literal
// that cannot start or complete a token.
std::vector<Token> tokenize(std::string_view text);

} // namespace corvane::stream::textform
