// Letter case off Windows: the Windows-1252 code page's own upper-case mapping, so the
// host build folds the same letters as the program does on a Western Windows system.
#include "base/ansi_text.h"

#include <array>

namespace {

// Built once: a-z, the accented small letters 0xE0-0xFE (0xF7 is the division sign),
// s/oe/z with caron and y with diaeresis. The micro sign and sharp s have no capital in
// the code page and stay as they are.
std::array<unsigned char, 256> makeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 0x20);
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 0x20);
  }
  table[0x9A] = 0x8A;
  table[0x9C] = 0x8C;
  table[0x9E] = 0x8E;
  table[0xFF] = 0x9F;
  return table;
}

const std::array<unsigned char, 256>& upperTable() {
  static const std::array<unsigned char, 256> table = makeUpperTable();
  return table;
}

}  // namespace

std::string UpperCaseAnsi(std::string text) {
  const auto& table = upperTable();
  for (char& c : text) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return text;
}

bool AnsiEqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  const auto& table = upperTable();
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (table[static_cast<unsigned char>(a[i])] != table[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}
