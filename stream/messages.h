#pragma once

// The texts of the component stream's errors, exactly as the user sees them, and the filling of
// their %s places.

#include <initializer_list>
#include <string>
#include <string_view>

namespace corvane::stream {

inline constexpr std::string_view kInvalidStreamFormat = "Invalid stream format";
inline constexpr std::string_view kStreamReadError = "Stream read error";
inline constexpr std::string_view kStreamWriteError = "Stream write error";
inline constexpr std::string_view kInvalidPropertyValue = "Invalid property value";
inline constexpr std::string_view kPropertyDoesNotExist = "Property %s does not exist";
inline constexpr std::string_view kInvalidPropertyPath = "Invalid property path";
inline constexpr std::string_view kPropertyIsReadOnly = "Property is read-only";
inline constexpr std::string_view kClassNotFound = "Class %s not found";
inline constexpr std::string_view kErrorReading = "Error reading %s%s%s: %s";
inline constexpr std::string_view kCannotOpenFile = "Cannot open file \"%s\". %s";
inline constexpr std::string_view kCannotCreateFile = "Cannot create file \"%s\". %s";

// Replaces each "%s" of `pattern` with the next argument, in order; a "%s" without an argument stays.
std::string formatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

// A name read from a file (an object, class or property name), or a file's name, as a message shows
// it: valid UTF-8 as it is, except that control characters, invisible marks, every byte that is not
// part of valid UTF-8 and a backslash followed by an x are written as \xNN, byte by byte. So a damaged
// file can neither cut a message short at a NUL nor write control sequences to a terminal, and two
// different names never look alike. The window shows file names so too.
std::string printableName(std::string_view name);

// "FILE: MESSAGE", the file's name printable: which file a reading error is about, when a task reads
// several.
std::string inFileMessage(std::string_view file, std::string_view message);

// The system's text for an errno value with trailing blanks and full stops removed, ready to fill the
// second %s of kCannotOpenFile and kCannotCreateFile.
std::string systemErrorText(int errorNumber);

// Fails with kInvalidStreamFormat when records, collections or lists nest deeper than kMaxNesting.
void checkNesting(int depth);

} // namespace corvane::stream
