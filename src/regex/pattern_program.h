// The byte program of the pattern engine: node kinds, layout constants and
// little-endian accessors. Shared by the compiler, the matcher's decoder and
// the command that prints programs.
//
// Layout: byte 0 is kMagic; nodes follow from byte 1. A node is its kind (1
// byte), a signed 32-bit little-endian offset from the node to the node that
// follows it in sequence (0: none), then an operand that depends on the kind.

#ifndef VELLORA_REGEX_PATTERN_PROGRAM_H_
#define VELLORA_REGEX_PATTERN_PROGRAM_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vellora::regex {

inline constexpr uint8_t kMagic = 0xD8;

// Node kinds.
enum Op : uint8_t {
  opEnd = 0,
  opInputStart = 1,
  opInputEnd = 2,
  opAnyChar = 3,
  opAnyOf = 4,   // class marker while compiling; never in a program
  opAnyBut = 5,  // negated class marker while compiling; never in a program
  opBranch = 6,
  opBack = 7,
  opLiteral = 8,
  opEmpty = 9,
  opStar = 10,
  opPlus = 11,
  opDigit = 12,
  opNotDigit = 13,
  opBraces = 18,
  opComment = 19,
  opLiteralCI = 20,
  opAnyOfCI = 21,   // never in a program
  opAnyButCI = 22,  // never in a program
  opLoopEntry = 23,
  opLoop = 24,
  opTinySet = 25,
  opNotTinySet = 26,
  opFullSet = 27,
  opBackRef = 28,
  opBackRefCI = 29,
  opStarLazy = 30,
  opPlusLazy = 31,
  opBracesLazy = 32,
  opLoopLazy = 33,
  opLineStart = 34,
  opLineEnd = 35,
  opAnyNoBreak = 36,
  opWordBoundary = 37,
  opNotWordBoundary = 38,
  opOpen = 39,   // opOpen + n opens group n (1..14)
  opClose = 54,  // opClose + n closes group n (1..14)
};

inline constexpr int kGroupSlots = 15;        // slot 0: whole match; 1..14: groups
inline constexpr int kMaxLoopDepth = 10;      // counted loops open at once
inline constexpr int32_t kStarMax = 2147483647;      // "*" and "+"
inline constexpr int32_t kBraceOpenMax = 2147483646;  // "{n,}" and lazy complex "*", "+"

inline constexpr size_t kNodeHeader = 5;        // kind + next offset
inline constexpr size_t kBracesHeader = 13;     // + minimum + maximum
inline constexpr size_t kLoopNodeSize = 17;     // + minimum + maximum + back offset
inline constexpr size_t kFullSetBytes = 32;
inline constexpr size_t kTinySetBytes = 3;

inline bool IsOpenKind(uint8_t kind) { return kind > opOpen && kind < opOpen + kGroupSlots; }
inline bool IsCloseKind(uint8_t kind) { return kind > opClose && kind < opClose + kGroupSlots; }

inline int32_t ReadInt32(const uint8_t* p) {
  uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(v);
}

inline void WriteInt32(uint8_t* p, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

// A 256-bit character set, stored as the program stores full sets: bit k mod 8
// of byte k div 8 stands for the character with code k.
struct CharSet {
  uint8_t bits[32] = {};
  bool Has(uint8_t c) const { return (bits[c >> 3] >> (c & 7)) & 1; }
  void Add(uint8_t c) { bits[c >> 3] = static_cast<uint8_t>(bits[c >> 3] | (1u << (c & 7))); }
  void AddAll() { std::memset(bits, 0xFF, sizeof bits); }
  void AddSet(const uint8_t* other) {
    for (int i = 0; i < 32; ++i) bits[i] = static_cast<uint8_t>(bits[i] | other[i]);
  }
  bool Full() const {
    for (uint8_t b : bits) {
      if (b != 0xFF) return false;
    }
    return true;
  }
  int Count() const {
    int n = 0;
    for (int c = 0; c < 256; ++c) n += Has(static_cast<uint8_t>(c));
    return n;
  }
};

}  // namespace vellora::regex

#endif  // VELLORA_REGEX_PATTERN_PROGRAM_H_
