// Error codes and texts of the pattern engine. Every failure of the engine
// is an EPatternError carrying one of these codes (ErrorCode()) and, for a
// compile error, the parse position.

#ifndef VELLORA_REGEX_PATTERN_ERRORS_H_
#define VELLORA_REGEX_PATTERN_ERRORS_H_

#include <string>

namespace vellora::regex {

// Codes below 1000 are compile errors and carry the pattern position in
// their message; 1000 and above are raised while matching (or by a setting)
// and carry none. "Never raised" codes keep their texts for ErrorText.
enum ErrorCode : int {
  kErrNone = 0,                        // no error (a text only)
  kErrNullArgument = 100,              // compile without a pattern (1003 comes first)
  kErrTooBig = 101,                    // the two compile passes disagree on the size; never
  kErrTooManyGroups = 102,             // a fifteenth group
  kErrUnmatchedOpen = 103,             // a group not closed by ")"
  kErrUnmatchedClose = 104,            // a ")" with no open group
  kErrJunkOnEnd = 105,                 // the top level stops before the end; never
  kErrOperandCouldBeEmpty = 106,       // "*", "+" or braces on an atom that can match empty
  kErrNestedQuantifier = 107,          // a quantifier right after a quantifier
  kErrBadHexDigit = 108,               // a non-hex character in "\x"
  kErrInvalidRange = 109,              // a class range whose end is below its start
  kErrClassTrailingBackslash = 110,    // "\" at the end of the pattern inside a class
  kErrNoHexCode = 111,                 // the pattern ends inside "\x"
  kErrHexCodeTooBig = 112,             // a "\x{...}" code above 8 bits
  kErrUnmatchedBracket = 113,          // a class not closed by "]"
  kErrInternalUrp = 114,               // an atom at the end, ")" or "|"; never
  kErrQuantifierFollowsNothing = 115,  // "*", "+" or "?" where an atom is expected
  kErrTrailingBackslash = 116,         // "\" at the end of the pattern
  kErrInternalDisaster = 119,          // a literal run at a meta character; never
  kErrBracesTooBig = 122,              // a brace number of more than 8 digits
  kErrBracesMinAboveMax = 124,         // a brace minimum above its maximum
  kErrUnclosedComment = 125,           // "(?#" without ")"
  kErrComplexBraces = 126,             // counted loops are always available; never
  kErrUnknownModifier = 127,           // "(?" not followed by modifier letters and ")"
  kErrBadPairedSeparator = 128,        // a line pair that is not two different characters
  kErrRepeatInappropriate = 1000,      // a simple repetition of a node that is not simple
  kErrMemoryCorruption = 1001,         // an unknown node kind in the program
  kErrCorruptedPointers = 1002,        // a chain of nodes that ends without opEnd
  kErrNoExpression = 1003,             // a compile is needed and no pattern is assigned
  kErrCorruptedProgram = 1004,         // the program lacks its magic byte; never
  kErrNoInput = 1005,                  // a search or an expansion without an input
  kErrOffsetBelowOne = 1006,           // a search from an offset below 1
  kErrExecNextWithoutExec = 1007,      // ExecNext without a current match
  kErrNoInputString = 1008,            // reading an input that was never stored; never
  kErrCorruptedOpcode = 1011,          // a bad node kind in a program dump; never
  kErrUnknown = 1013,                  // a modifier index or letter that does not exist
  kErrLoopStackExceeded = 1014,        // an eleventh counted loop open at once
  kErrLoopWithoutEntry = 1015,         // a loop node with no open loop; never
  kErrBacktrackLimit = 1016,           // a search backtracked more than its budget allows
  kErrBadPCode = 2000,                 // importing a program; never
};

// The text of an error code ("Unknown error" for codes without one).
std::string PatternErrorText(int code);

// The message of an error: the text, and for codes below 1000 " (pos N)".
std::string PatternErrorMessage(int code, int position);

// Raises EPatternError for code at the given pattern position.
[[noreturn]] void RaisePatternError(int code, int position);

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_ERRORS_H_
