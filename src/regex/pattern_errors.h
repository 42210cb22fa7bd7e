// Error codes and texts of the pattern engine.

#ifndef VELLORA_REGEX_PATTERN_ERRORS_H_
#define VELLORA_REGEX_PATTERN_ERRORS_H_

#include <string>

namespace vellora::regex {

enum ErrorCode : int {
  kErrNone = 0,
  kErrNullArgument = 100,
  kErrTooBig = 101,
  kErrTooManyGroups = 102,
  kErrUnmatchedOpen = 103,
  kErrUnmatchedClose = 104,
  kErrJunkOnEnd = 105,
  kErrOperandCouldBeEmpty = 106,
  kErrNestedQuantifier = 107,
  kErrBadHexDigit = 108,
  kErrInvalidRange = 109,
  kErrClassTrailingBackslash = 110,
  kErrNoHexCode = 111,
  kErrHexCodeTooBig = 112,
  kErrUnmatchedBracket = 113,
  kErrInternalUrp = 114,
  kErrQuantifierFollowsNothing = 115,
  kErrTrailingBackslash = 116,
  kErrInternalDisaster = 119,
  kErrBracesTooBig = 122,
  kErrBracesMinAboveMax = 124,
  kErrUnclosedComment = 125,
  kErrComplexBraces = 126,
  kErrUnknownModifier = 127,
  kErrBadPairedSeparator = 128,
  kErrRepeatInappropriate = 1000,
  kErrMemoryCorruption = 1001,
  kErrCorruptedPointers = 1002,
  kErrNoExpression = 1003,
  kErrCorruptedProgram = 1004,
  kErrNoInput = 1005,
  kErrOffsetBelowOne = 1006,
  kErrExecNextWithoutExec = 1007,
  kErrNoInputString = 1008,
  kErrCorruptedOpcode = 1011,
  kErrUnknown = 1013,
  kErrLoopStackExceeded = 1014,
  kErrLoopWithoutEntry = 1015,
  kErrBadPCode = 2000,
};

// The text of an error code ("Unknown error" for codes without one).
std::string PatternErrorText(int code);

// The message of an error: the text, and for codes below 1000 " (pos N)".
std::string PatternErrorMessage(int code, int position);

// Raises EPatternError for code at the given pattern position.
[[noreturn]] void RaisePatternError(int code, int position);

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_ERRORS_H_
