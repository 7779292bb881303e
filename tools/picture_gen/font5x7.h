#pragma once
#include <cstdint>

// Rows of a 5x7 glyph, top first, bit 4 the leftmost column; null if unknown.
const std::uint8_t* Glyph5x7(char c);
