#pragma once

// The text form of a component stream: readable, diffable, one line per entry, compiled back to the
// identical bytes. The window descriptions are kept in it, and `corvane-cli dump` prints it.
//
//   object searchPathList_: TListView
//     Left = 8
//     Anchors = [akLeft, akTop, akRight]
//     Columns = <
//       item
//         AutoSize = True
//         Caption = 'Path'
//       end
//     >
//     Items.ItemData = {0131000000…}
//     ViewStyle = vsReport
//   end
//
// Records: `object Name: Class` (a child record: `inherited` for flag 1, `inline` for flag 4, `[n]` after
// the class for a child position, `flags N` to spell any other prefix), its entries, its child
// records, `end`. Names that are not plain identifiers are quoted.
//
// Values, each in its plainest spelling, encoded by the writer's rules:
//   8, -129                 integer in the narrowest tag (Int64 beyond 32 bits)
//   1.5, 2e-3               float (Extended)
//   'It''s'#13#10'x'        text by the text rule; #n is a byte of the 8-bit (UTF-8) text
//   vsReport, a.b           identifier; True, False, Null, nil are the bare tags
//   [akLeft, akTop]         set, members in the order given
//   {01 2A FF}              byte block in hex (blanks and line breaks allowed)
//   ('a' 'b')               list
//   <item … end item 3 … end>  collection, an item optionally with its index
// When a stream holds a value another way, the printer names the tag: Int8(…), Int16(…), Int32(…),
// Int64(…), ShortText(…), LongText(…), Utf8Text(…), WideText(…) (there #n is a UTF-16 code unit),
// Identifier(…), Extended(…), Single(…), Double(…), DateTime(…) (a number or {raw bytes}) and
// Currency(1.2345). So binary -> text -> binary gives back the same bytes for every stream, not only
// for those our writer made. Lines that start with // are comments.

#include "stream/byte_streams.h"
#include "stream/document.h"
#include "stream/error.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::stream {

// A malformed text: what() reads "line N: reason".
class TextFormError : public Error {
public:
    TextFormError(int line, const std::string& reason)
        : Error("line " + std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}
    int line() const { return line_; }
    const std::string& reason() const { return reason_; }

private:
    int line_;
    std::string reason_;
};

struct TextFormOptions {
    // Follow each item block and node block ("Items.ItemData", "Items.NodeData", "Items.Data") with
    // comment lines showing its rows or nodes. A block that does not decode fails as the reader would.
    bool describeBlocks = false;
};

// Throws TextFormError for a malformed text, with the line where it is noticed.
Document textToDocument(std::string_view text);

// Prints the text form of the stream in `in` while reading it, handing the text on in pieces, so that
// a stream of any size needs little memory. A bad stream throws the reader's Error, after the text
// of what came before the fault has been handed on.
void printStream(InputStream& in, const TextFormOptions& options,
                 const std::function<void(std::string_view)>& write);

// Shortcuts over bytes. streamToText throws the reader's Error for a bad stream; textToStream throws
// TextFormError.
std::string streamToText(std::span<const uint8_t> bytes, const TextFormOptions& options = {});
std::vector<uint8_t> textToStream(std::string_view text);

} // namespace corvane::stream
