#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "run/DataList.h"

namespace results {

// The record of one run: an ordered list of 8-bit text lines without line breaks. Sections
// of key=value lines come first, then one result line per measured block.
using DataList = run::DataList;

// What SearchSubKey gives for a key that is not in its section.
inline constexpr std::string_view kNotFound = "Not Found";

// A key's "=" must stand among the first this many characters of its line.
inline constexpr std::size_t kKeyWindow = 16;

// The file's bytes: every line followed by CR LF, nothing else.
std::string DocumentBytes(const DataList& list);

// Writes the file whole or not at all (platform::WriteWholeFile), so a failed save leaves an
// earlier file of that name as it was. The reason when the file cannot be written.
std::error_code WriteDocument(const DataList& list, const std::string& path);

// Splits bytes into lines at CR LF, a lone CR and a lone LF. A break at the very end adds no
// empty line; two breaks in a row give an empty line. Every other byte, NUL included, is an
// ordinary byte of its line.
DataList ParseDocument(std::string_view bytes);

// The largest file LoadDocument takes; the largest run writes well under one megabyte.
inline constexpr std::uint64_t kMaxDocumentBytes = 64u << 20;

// Replaces the list with the lines of the file; a UTF-8 byte-order mark before the first
// line is no part of it. The reason when the file cannot be opened or read, is no regular
// file, is larger than kMaxDocumentBytes or holds UTF-16 text (which an editor may have
// saved it as); the list is then left as it was.
std::error_code LoadDocument(const std::string& path, DataList& list);
// The same for bytes read from elsewhere (standard input).
std::error_code TakeDocument(std::string_view bytes, DataList& list);

// What makes a readable file no document of this program.
enum class DocumentProblem { Utf16Text = 1 };
std::error_code MakeError(DocumentProblem problem);

// The index of the line after the first line equal to header (whole line, byte for byte),
// or 0 when no line is.
std::int32_t SearchKey(const DataList& list, std::string_view header);

// The value of key in the section whose first key line is at start: the text after the "="
// of the first line whose key equals key exactly. kNotFound when an empty line, a line
// starting with "[" or the end of the list comes first, and for a start outside the list.
std::string SearchSubKey(const DataList& list, std::int32_t start, std::string_view key);

}  // namespace results
