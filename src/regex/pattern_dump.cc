// The program listing. Entry point: Dump(program). It walks the bytes in
// order rather than following the links, so that every node is listed once
// (also nodes no link reaches) and the listing accounts for every byte.
// Every read is checked against the program's size: a damaged program ends
// the listing with a line that says what is wrong, never a read past it.

#include "regex/pattern_dump.h"

#include <cstring>

#include "regex/pattern_program.h"

namespace vellora::regex {
namespace {

// The name of a node kind, or null for a code that is never in a program.
const char* KindName(uint8_t kind) {
  // clang-format off
  switch (kind) {
    case opEnd:             return "End";
    case opInputStart:      return "InputStart";
    case opInputEnd:        return "InputEnd";
    case opAnyChar:         return "AnyChar";
    case opBranch:          return "Branch";
    case opBack:            return "Back";
    case opLiteral:         return "Literal";
    case opEmpty:           return "Empty";
    case opStar:            return "Star";
    case opPlus:            return "Plus";
    case opDigit:           return "Digit";
    case opNotDigit:        return "NotDigit";
    case opBraces:          return "Braces";
    case opComment:         return "Comment";
    case opLiteralCI:       return "LiteralCI";
    case opLoopEntry:       return "LoopEntry";
    case opLoop:            return "Loop";
    case opTinySet:         return "TinySet";
    case opNotTinySet:      return "NotTinySet";
    case opFullSet:         return "FullSet";
    case opBackRef:         return "BackRef";
    case opBackRefCI:       return "BackRefCI";
    case opStarLazy:        return "StarLazy";
    case opPlusLazy:        return "PlusLazy";
    case opBracesLazy:      return "BracesLazy";
    case opLoopLazy:        return "LoopLazy";
    case opLineStart:       return "LineStart";
    case opLineEnd:         return "LineEnd";
    case opAnyNoBreak:      return "AnyNoBreak";
    case opWordBoundary:    return "WordBoundary";
    case opNotWordBoundary: return "NotWordBoundary";
    default:                return nullptr;
  }
  // clang-format on
}

// The operand size of a kind whose operand has a fixed size (0 for none; a
// literal's text is measured separately).
size_t FixedOperandBytes(uint8_t kind) {
  switch (kind) {
    case opTinySet:
    case opNotTinySet:
      return kTinySetBytes;
    case opFullSet:
      return kFullSetBytes;
    case opBackRef:
    case opBackRefCI:
      return 1;
    case opBraces:
    case opBracesLazy:
      return kBracesHeader - kNodeHeader;
    case opLoop:
    case opLoopLazy:
      return kLoopNodeSize - kNodeHeader;
    default:
      return 0;
  }
}

bool IsRepetition(uint8_t kind) {
  return kind == opStar || kind == opPlus || kind == opBraces || kind == opStarLazy ||
         kind == opPlusLazy || kind == opBracesLazy;
}

constexpr char kHex[] = "0123456789ABCDEF";
constexpr char kQuotedEscaped[] = "\\\"";
constexpr char kClassEscaped[] = "\\]^-";

void AppendChar(uint8_t c, const char* escaped, std::string* out) {
  if (c == '\t') {
    *out += "\\t";
  } else if (c == '\n') {
    *out += "\\n";
  } else if (c == '\r') {
    *out += "\\r";
  } else if (c == '\f') {
    *out += "\\f";
  } else if (c < 0x20 || c > 0x7E) {
    *out += "\\x";
    *out += kHex[c >> 4];
    *out += kHex[c & 15];
  } else {
    if (std::strchr(escaped, c) != nullptr) *out += '\\';
    *out += static_cast<char>(c);
  }
}

void AppendQuoted(const uint8_t* text, size_t length, std::string* out) {
  *out += '"';
  for (size_t i = 0; i < length; ++i) AppendChar(text[i], kQuotedEscaped, out);
  *out += '"';
}

// A set as a class: runs of three or more characters as ranges, and the
// complement after "^" when more than half of all characters are members.
void AppendClass(const uint8_t* bitmap, std::string* out) {
  CharSet set;
  std::memcpy(set.bits, bitmap, sizeof set.bits);
  bool negated = set.Count() > 128;
  *out += negated ? "[^" : "[";
  for (int c = 0; c < 256;) {
    if (set.Has(static_cast<uint8_t>(c)) == negated) {
      ++c;
      continue;
    }
    int last = c;
    while (last + 1 < 256 && set.Has(static_cast<uint8_t>(last + 1)) != negated) ++last;
    AppendChar(static_cast<uint8_t>(c), kClassEscaped, out);
    if (last - c >= 2) *out += '-';
    if (last > c) AppendChar(static_cast<uint8_t>(last), kClassEscaped, out);
    c = last + 1;
  }
  *out += ']';
}

void AppendLimits(int32_t min, int32_t max, std::string* out) {
  *out += " {" + std::to_string(min) + ",";
  if (max != kBraceOpenMax) *out += std::to_string(max);
  *out += "}";
}

}  // namespace

std::string Dump(const std::vector<uint8_t>& program) {
  std::string out;
  const uint8_t* p = program.data();
  const size_t size = program.size();
  if (size == 0) return out;
  if (p[0] != kMagic) {
    out += "0 bad magic byte ";
    out += kHex[p[0] >> 4];
    out += kHex[p[0] & 15];
    out += "\n";
    return out;
  }
  bool repeated = false;  // the node is the operand of a repetition
  for (size_t at = 1; at < size;) {
    std::string line = repeated ? "  " : "";
    line += std::to_string(at) + " ";
    if (at + kNodeHeader > size) {
      out += line + "truncated node\n";
      break;
    }
    uint8_t kind = p[at];
    int32_t next = ReadInt32(p + at + 1);
    const uint8_t* operand = p + at + kNodeHeader;
    size_t room = size - at - kNodeHeader;
    const char* name = KindName(kind);
    if (IsOpenKind(kind)) {
      line += "Open " + std::to_string(kind - opOpen);
    } else if (IsCloseKind(kind)) {
      line += "Close " + std::to_string(kind - opClose);
    } else if (name == nullptr) {
      out += line + "unknown node kind " + std::to_string(kind) + "\n";
      break;
    } else {
      line += name;
    }
    // Check that the operand lies inside the program before reading it.
    bool literal = kind == opLiteral || kind == opLiteralCI;
    const void* nul = literal ? std::memchr(operand, 0, room) : nullptr;
    size_t fixed = FixedOperandBytes(kind);
    if ((literal && nul == nullptr) || fixed > room) {
      out += line + " truncated operand\n";
      break;
    }
    size_t length = kNodeHeader + fixed;
    switch (kind) {
      case opLiteral:
      case opLiteralCI: {
        size_t text = static_cast<size_t>(static_cast<const uint8_t*>(nul) - operand);
        line += " ";
        AppendQuoted(operand, text, &line);
        length += text + 1;
        break;
      }
      case opTinySet:
      case opNotTinySet:
        line += " ";
        AppendQuoted(operand, kTinySetBytes, &line);
        break;
      case opFullSet:
        line += " ";
        AppendClass(operand, &line);
        break;
      case opBackRef:
      case opBackRefCI:
        line += " " + std::to_string(operand[0]);
        break;
      case opBraces:
      case opBracesLazy:
        AppendLimits(ReadInt32(operand), ReadInt32(operand + 4), &line);
        break;
      case opLoop:
      case opLoopLazy:
        AppendLimits(ReadInt32(operand), ReadInt32(operand + 4), &line);
        line += " body " + std::to_string(static_cast<int64_t>(at) + ReadInt32(operand + 8));
        break;
      default:
        break;
    }
    if (next != 0) line += " -> " + std::to_string(static_cast<int64_t>(at) + next);
    out += line + "\n";
    repeated = IsRepetition(kind);
    at += length;
  }
  return out;
}

}  // namespace vellora::regex
