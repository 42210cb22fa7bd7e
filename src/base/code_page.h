// Character case mapping of the program's 8-bit code page (Windows-1252).
//
// Every upper- and lower-casing in the program goes through these functions,
// so that another code page needs only new tables here. Bytes without a case
// partner map to themselves. Thread-safe: the tables are constant.

#ifndef VELLORA_BASE_CODE_PAGE_H_
#define VELLORA_BASE_CODE_PAGE_H_

#include <string>
#include <string_view>

namespace vellora {

// The upper-case partner of one byte (CharUpperA of one character).
unsigned char CharUpper(unsigned char c);
// The lower-case partner of one byte (CharLowerA of one character).
unsigned char CharLower(unsigned char c);

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// Compares two texts byte by byte after upper-casing both; <0, 0 or >0.
int CompareIgnoringCase(std::string_view a, std::string_view b);
bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The 256-entry tables behind CharUpper and CharLower.
const unsigned char* UpperTable();
const unsigned char* LowerTable();

}  // namespace vellora

#endif  // VELLORA_BASE_CODE_PAGE_H_
