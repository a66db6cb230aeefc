#pragma once

#include <cstdint>
#include <string_view>

namespace dxcc {

// Text order of the award lists on Windows-1252 bytes, the same whatever the
// system locale: letters compare without regard to case, each accented letter
// sorts right after its base letter (A < À < Á < ... < B), a blank before any
// digit and a digit before any letter.

// The sort weight of one byte; the two cases of a letter share one weight.
uint8_t collationWeight(unsigned char byte);

// Orders by weights; texts of equal weights by their exact bytes, so the order
// is total and case-distinct texts never compare equal. <0, 0 or >0.
int collate(std::string_view a, std::string_view b);

}  // namespace dxcc
