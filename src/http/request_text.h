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

// `target` with every space written as "%20", as browsers send a URL typed
// or pasted with spaces in its path or query, and a Location answer from a
// server that did not encode it.
std::string EncodeSpaces(std::string_view target);

// `url` without the blanks (spaces and TABs) before and after it, as
// browsers read an address pasted with them.
std::string TrimBlanks(std::string_view url);

// Makes `host` the name to look up and send: a name with bytes beyond ASCII
// becomes its IDNA (UTS #46) ASCII form. False, leaving `host` as it was,
// when IDNA refuses the name.
bool AsciiHostName(std::string& host);

}  // namespace vellora

#endif  // VELLORA_HTTP_REQUEST_TEXT_H_
