#include "base/code_page.h"

#include <array>

namespace vellora {
namespace {

struct CaseTables {
  std::array<unsigned char, 256> upper;
  std::array<unsigned char, 256> lower;
};

// Windows-1252: ASCII letters, the Latin-1 letters C0-DE / E0-FE (without the
// multiplication and division signs D7 / F7), and the pairs 8A/9A, 8C/9C,
// 8E/9E and 9F/FF.
CaseTables BuildTables() {
  CaseTables t;
  for (int c = 0; c < 256; ++c) {
    t.upper[c] = static_cast<unsigned char>(c);
    t.lower[c] = static_cast<unsigned char>(c);
  }
  auto pair = [&t](int upper, int lower) {
    t.upper[lower] = static_cast<unsigned char>(upper);
    t.lower[upper] = static_cast<unsigned char>(lower);
  };
  for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c) {
    if (c != 0xD7) pair(c, c + 32);
  }
  pair(0x8A, 0x9A);
  pair(0x8C, 0x9C);
  pair(0x8E, 0x9E);
  pair(0x9F, 0xFF);
  return t;
}

const CaseTables& Tables() {
  static const CaseTables tables = BuildTables();
  return tables;
}

}  // namespace

unsigned char CharUpper(unsigned char c) { return Tables().upper[c]; }
unsigned char CharLower(unsigned char c) { return Tables().lower[c]; }
const unsigned char* UpperTable() { return Tables().upper.data(); }
const unsigned char* LowerTable() { return Tables().lower.data(); }

std::string UpperCase(std::string_view text) {
  const unsigned char* table = UpperTable();
  std::string result(text);
  for (char& c : result) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return result;
}

std::string LowerCase(std::string_view text) {
  const unsigned char* table = LowerTable();
  std::string result(text);
  for (char& c : result) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return result;
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
  const unsigned char* table = UpperTable();
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    int ca = table[static_cast<unsigned char>(a[i])];
    int cb = table[static_cast<unsigned char>(b[i])];
    if (ca != cb) return ca - cb;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}

}  // namespace vellora
