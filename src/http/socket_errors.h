// Socket error numbers and their texts.
//
// The socket layer reports failures with the classic socket-library numbers
// (10000 + n, and 11001-11004 for host-name lookups), whatever the platform:
// they appear in messages the user sees, such as
// "Connection refused (Error #10061)". ErrnoToSocketError is the one place
// where errno values are translated.

#ifndef VELLORA_HTTP_SOCKET_ERRORS_H_
#define VELLORA_HTTP_SOCKET_ERRORS_H_

#include <cstdint>
#include <string>

namespace vellora {

inline constexpr uint16_t kSocketWouldBlock = 10035;
inline constexpr uint16_t kSocketInvalidArgument = 10022;
inline constexpr uint16_t kSocketConnectionAborted = 10053;
inline constexpr uint16_t kSocketConnectionReset = 10054;
inline constexpr uint16_t kSocketNotConnected = 10057;
inline constexpr uint16_t kSocketTimedOut = 10060;
inline constexpr uint16_t kSocketConnectionRefused = 10061;
inline constexpr uint16_t kSocketHostNotFound = 11001;
inline constexpr uint16_t kSocketTryAgain = 11002;
inline constexpr uint16_t kSocketNoRecovery = 11003;
inline constexpr uint16_t kSocketNoData = 11004;

// The text for a socket error number; "Not a WinSock error" for unknown ones.
std::string SocketErrorText(uint16_t code);

// The socket error number for an errno value (0 for 0). Values without a
// counterpart map to 20000 + errno, which has no text of its own.
uint16_t ErrnoToSocketError(int error_number);

// The socket error number for a getaddrinfo result code.
uint16_t LookupErrorToSocketError(int gai_error);

}  // namespace vellora

#endif  // VELLORA_HTTP_SOCKET_ERRORS_H_
