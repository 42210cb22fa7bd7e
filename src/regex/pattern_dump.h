// A readable listing of a byte program, for tests and for anyone reading a
// compiled pattern. One node a line, in the order of the bytes:
//
//   OFFSET NAME [OPERANDS] [-> NEXT]
//
// OFFSET is the node's byte offset in the program, NAME its kind without
// the "op" prefix (Open and Close carry their group number), and NEXT the
// offset of the node its next link leads to (absent when the link is 0).
// Operands: a literal's text in double quotes; the three characters of a
// tiny set in double quotes; a full set as a class ("[0-9a-z]", or
// "[^...]" listing what is not a member when more than 128 are); repetition
// and loop limits as {min,max}, with an open maximum (2147483646) as {min,};
// a loop's body as "body OFFSET"; a back-reference's group number. A
// quoted text escapes "\" and the quote with "\", a class "\", "]", "^"
// and "-"; bytes outside printable ASCII are written \t \n \r \f or \xHH.
//
// The repeated node of a simple repetition follows its header and is listed
// on its own line, indented by two spaces. The magic byte is not listed
// when it is right. A listing covers every byte of a well-formed program,
// so two programs with equal listings are equal; a damaged program is
// listed up to the first node that cannot be decoded, which gets a line
// saying why.

#ifndef VELLORA_REGEX_PATTERN_DUMP_H_
#define VELLORA_REGEX_PATTERN_DUMP_H_

#include <cstdint>
#include <string>
#include <vector>

namespace vellora::regex {

// The listing of program, lines ending in "\n".
std::string Dump(const std::vector<uint8_t>& program);

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_DUMP_H_
