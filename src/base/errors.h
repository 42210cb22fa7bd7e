// Errors shared by the whole program, and the rule by which a front end turns
// an error into the text it shows.
//
// Every failure of the core is an exception derived from VelloraError; each
// front end catches them once, in its top-level handler, and shows
// TopLevelMessage(e.what()).

#ifndef VELLORA_BASE_ERRORS_H_
#define VELLORA_BASE_ERRORS_H_

#include <exception>
#include <stdexcept>
#include <string>

namespace vellora {

// Base of every exception the core raises on purpose.
class VelloraError : public std::runtime_error {
 public:
  explicit VelloraError(const std::string& message) : std::runtime_error(message) {}
};

// A file could not be read or written, or a folder could not be made.
class EFileError : public VelloraError {
 public:
  explicit EFileError(const std::string& message) : VelloraError(message) {}
};

// The title of every message box of the program.
inline constexpr const char kApplicationTitle[] = "Vellora Brindo";

// The text the top-level handler shows for an error message: the message with
// a full stop appended when its last character comes after "." in character
// code order (so "Not Found" gets one, "... (Error #10061)" and "x!" do not).
// A message with a hint (WithHint) has the rule applied to its first line,
// the message itself; the hint follows as it stands.
std::string TopLevelMessage(const std::string& message);

// `message` followed by `hint` on a line of its own: advice that the front
// ends show after the message (the next line on stderr, a second paragraph
// in a message box), never as part of the message's own text.
std::string WithHint(const std::string& message, const std::string& hint);

// The message a top-level handler shows for `error`: its what(), except that
// a failed allocation (std::bad_alloc and its kin) reads kOutOfMemoryMessage
// instead of the library's "std::bad_alloc".
inline constexpr const char kOutOfMemoryMessage[] = "Out of memory";
std::string ErrorMessageOf(const std::exception& error);

// The system's reason text for an errno value, without trailing blanks and
// full stops, as file errors quote it.
std::string SystemReason(int error_number);

}  // namespace vellora

#endif  // VELLORA_BASE_ERRORS_H_
