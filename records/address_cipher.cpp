#include "records/address_cipher.h"

#include <array>

namespace trilane {
namespace {

// Each output byte feeds the running state, so a change early in the text changes
// everything after it.
constexpr uint16_t kMultiplier = 40503;
constexpr uint16_t kIncrement = 11213;

uint16_t Next(uint16_t state, unsigned char cipherByte) {
  // Unsigned arithmetic: the product overflows an int, and only its low 16 bits count.
  const uint32_t sum = uint32_t{cipherByte} + state;
  return static_cast<uint16_t>(sum * kMultiplier + kIncrement);
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string ToBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
  }
  return out;
}

std::optional<std::string> FromBase64(std::string_view text) {
  std::array<int, 256> value{};
  value.fill(-1);
  for (int i = 0; i < 64; ++i) value[static_cast<unsigned char>(kAlphabet[i])] = i;
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < text.size(); i += 4) {
    int v[4];
    int padding = 0;
    for (int k = 0; k < 4; ++k) {
      const unsigned char c = static_cast<unsigned char>(text[i + k]);
      if (c == '=' && i + 4 == text.size() && k >= 2) {
        v[k] = 0;
        ++padding;
      } else if (value[c] < 0 || padding > 0) {
        return std::nullopt;
      } else {
        v[k] = value[c];
      }
    }
    const uint32_t n = (v[0] << 18) | (v[1] << 12) | (v[2] << 6) | v[3];
    out += static_cast<char>((n >> 16) & 0xFF);
    if (padding < 2) out += static_cast<char>((n >> 8) & 0xFF);
    if (padding < 1) out += static_cast<char>(n & 0xFF);
  }
  return out;
}

}  // namespace

std::string EncipherAddress(std::string_view plain, uint16_t key) {
  std::string cipher;
  cipher.reserve(plain.size());
  uint16_t state = key;
  for (char ch : plain) {
    const auto c = static_cast<unsigned char>(static_cast<unsigned char>(ch) ^ (state >> 8));
    cipher += static_cast<char>(c);
    state = Next(state, c);
  }
  return ToBase64(cipher);
}

std::optional<std::string> DecipherAddress(std::string_view enciphered, uint16_t key) {
  auto cipher = FromBase64(enciphered);
  if (!cipher) return std::nullopt;
  std::string plain;
  plain.reserve(cipher->size());
  uint16_t state = key;
  for (char ch : *cipher) {
    const auto c = static_cast<unsigned char>(ch);
    plain += static_cast<char>(c ^ (state >> 8));
    state = Next(state, c);
  }
  return plain;
}

}  // namespace trilane
