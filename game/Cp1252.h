#pragma once
// Conversion between UTF-8 (what the user interface works in) and Windows-1252, the 8-bit
// code page the score file stores names in, so files stay readable both ways.
//
// Every character becomes exactly one Windows-1252 byte, so a byte count after
// Utf8ToCp1252 is a character count. A character the code page cannot hold, and every
// byte of malformed UTF-8, becomes '?'. The five bytes Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same value, as Windows
// maps them, so any byte string survives a round trip.
#include <string>
#include <string_view>

std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);
