// The byte program of the pattern engine: node kinds, layout constants and
// little-endian accessors. Shared by the compiler, the matcher's decoder and
// the command that prints programs.
//
// Layout: byte 0 is kMagic; nodes follow from byte 1. A node is its kind (1
// byte), a signed 32-bit little-endian offset from the node to the node that
// follows it in sequence (0: none), then an operand that depends on the kind.
// The first node is always an opBranch. The repeated node of a simple
// repetition (opStar, opPlus, opBraces and their lazy forms) follows the
// repetition's header as a node of its own whose next offset stays 0; a
// literal in that place holds exactly one character.

#ifndef VELLORA_REGEX_PATTERN_PROGRAM_H_
#define VELLORA_REGEX_PATTERN_PROGRAM_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vellora::regex {

inline constexpr uint8_t kMagic = 0xD8;

// Node kinds. "Operand" is what follows the 5-byte header; "next" is the
// node that follows in sequence.
enum Op : uint8_t {
  opEnd = 0,               // the match succeeds
  opInputStart = 1,        // empty, only at the start of the input ("^", "\A")
  opInputEnd = 2,          // empty, only at the end of the input ("$", "\Z")
  opAnyChar = 3,           // any one character ("." with s)
  opAnyOf = 4,             // class marker while compiling; never in a program
  opAnyBut = 5,            // negated class marker while compiling; never in a program
  opBranch = 6,            // one alternative, starting at the operand; next: the next opBranch
  opBack = 7,              // a jump backwards (negative next) closing a greedy complex loop
  opLiteral = 8,           // operand: NUL-terminated text, matched case-sensitively
  opEmpty = 9,             // the empty string
  opStar = 10,             // operand: a simple node, 0 or more times, greedy
  opPlus = 11,             // operand: a simple node, 1 or more times, greedy
  opDigit = 12,            // one character "0".."9"
  opNotDigit = 13,         // one character other than "0".."9"
  opBraces = 18,           // operand: min, max (int32 each), a simple node; greedy
  opComment = 19,          // empty; a "(?#...)" comment or a modifier group
  opLiteralCI = 20,        // as opLiteral, each character also matching its other case
  opAnyOfCI = 21,          // case-insensitive class marker while compiling; never in a program
  opAnyButCI = 22,         // the same, negated; never in a program
  opLoopEntry = 23,        // opens a counted loop; next: its opLoop; the body follows
  opLoop = 24,             // operand: min, max, offset back to the body; greedy counted loop
  opTinySet = 25,          // operand: 3 characters; one character equal to one of them
  opNotTinySet = 26,       // operand: 3 characters; one character equal to none of them
  opFullSet = 27,          // operand: 32-byte bitmap; one character in the set
  opBackRef = 28,          // operand: group number (1 byte); the text the group captured
  opBackRefCI = 29,        // the same, case-insensitively
  opStarLazy = 30,         // as opStar, lazy
  opPlusLazy = 31,         // as opPlus, lazy
  opBracesLazy = 32,       // as opBraces, lazy
  opLoopLazy = 33,         // as opLoop, lazy
  opLineStart = 34,        // empty at the start of the input or of a line ("^" with m)
  opLineEnd = 35,          // empty at the end of the input or of a line ("$" with m)
  opAnyNoBreak = 36,       // any one character that does not end a line ("." without s)
  opWordBoundary = 37,     // empty at a word boundary ("\b")
  opNotWordBoundary = 38,  // empty where there is no word boundary ("\B")
  opOpen = 39,             // opOpen + n (40..53): the start of group n (1..14)
  opClose = 54,            // opClose + n (55..68): the end of group n (1..14)
};

inline constexpr int kGroupSlots = 15;                // slot 0: whole match; 1..14: groups
inline constexpr int kMaxLoopDepth = 10;              // counted loops open at once
inline constexpr int32_t kStarMax = 2147483647;       // "*" and "+"
inline constexpr int32_t kBraceOpenMax = 2147483646;  // "{n,}" and lazy complex "*", "+"

inline constexpr size_t kNoNode = 0;         // offset 0 is the magic byte, never a node
inline constexpr size_t kNodeHeader = 5;     // kind + next offset
inline constexpr size_t kBracesHeader = 13;  // + minimum + maximum
inline constexpr size_t kLoopNodeSize = 17;  // + minimum + maximum + back offset
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
