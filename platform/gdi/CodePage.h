// The system code page of texts drawn on screen. Texts are bytes; on Linux the system's code page
// is UTF-8, but feed texts may arrive in a single-byte code page. So each well-formed UTF-8
// sequence is taken as its character and every other byte as its Windows-1252 character: a lone
// 0xB0 still reads as a degree sign and a Latin-1 title still reads right.
#pragma once

#include <cstdint>

namespace plat {

// The character starting at Text[Pos] (Pos < Count); Pos moves past it.
uint32_t NextCharacter(const char* Text, int Count, int& Pos);

// The Unicode character of one Windows-1252 byte.
uint32_t Windows1252Character(uint8_t Byte);

}  // namespace plat
