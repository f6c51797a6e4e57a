#pragma once

// The spelling of names, texts, numbers and byte blocks in the text form, shared by its printer and
// its parser. Texts are written as quoted pieces and #n escapes: 'It''s'#10'next line'. In 8-bit text
// #n is the byte n; in WideText(...) it is the UTF-16 code unit n. Control characters, bytes that are
// not valid UTF-8, lone surrogates and invisible direction marks are always escaped, so what a
// reader sees is what the stream holds.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace corvane::stream::textform {

// An identifier the parser reads without quotes: a letter or _ then letters, digits and _; with
// `allowDots`, several such words joined by single dots.
bool isBareName(std::string_view name, bool allowDots);

// The name bare when it can be, else quoted.
std::string nameLiteral(std::string_view name, bool allowDots);

// 8-bit text (bytes) as a literal.
std::string narrowLiteral(std::string_view bytes);

// UTF-16 code units as a literal.
std::string wideLiteral(std::u16string_view units);

// The shortest decimal that reads back as the same double, always with a "." or an exponent. Only for
// finite values.
std::string formatDouble(double value);
std::string formatFloat(float value);

// A currency's stored number (the value times 10000) as a decimal with four places, and back.
std::string formatCurrency(int64_t stored);
std::optional<int64_t> parseCurrency(std::string_view text);

// Upper-case hex, two digits a byte, no separators.
std::string hexBytes(std::span<const uint8_t> bytes);

} // namespace corvane::stream::textform
