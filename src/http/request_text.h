// What may go into a request line or a request header line.
//
// A request is text lines ended by CR LF, so a byte that ends or splits a
// line (CR, LF, NUL) or any other control byte (below 0x20, and 0x7F) must
// never reach one: taken from a URL or a Location answer it would let the
// text inject header lines or cut the request. The client checks the URL,
// every Location it follows and every line it sends with these functions.

#ifndef VELLORA_HTTP_REQUEST_TEXT_H_
#define VELLORA_HTTP_REQUEST_TEXT_H_

#include <string>
#include <string_view>

namespace vellora {

// True for bytes below 0x20 and for 0x7F.
bool IsControlByte(char byte);

// Empty when `text` holds no control byte; otherwise a description of the
// first one, e.g. "a control character (0x0D)".
std::string ControlByteProblem(std::string_view text);

// `target` with every space written as "%20", as a Location answer is
// followed (the target may come from a server that did not encode it).
std::string EncodeSpaces(std::string_view target);

}  // namespace vellora

#endif  // VELLORA_HTTP_REQUEST_TEXT_H_
