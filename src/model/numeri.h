#pragma once
// Checked arithmetic of the route model. Every narrowing of a value into a
// member goes through restringi (or one of the named wrapping helpers where the
// format says the value wraps), so that input breaking a limit becomes a
// GuastoEsecuzione instead of a silently wrapped value.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/guasto.h"

namespace scenario {

// Stores v into T, or fails naming what was being stored.
template <typename T>
T restringi(int64_t v, const char* cosa) {
  if (v < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
      v > static_cast<int64_t>(std::numeric_limits<T>::max())) {
    throw GuastoEsecuzione(std::string("value ") + std::to_string(v) + " does not fit " + cosa);
  }
  return static_cast<T>(v);
}

// The "low 8 bits" and "low 16 bits" stores: these wrap by definition.
inline uint8_t basso8(int64_t v) {
  return static_cast<uint8_t>(static_cast<uint64_t>(v) & 0xFFu);
}
inline int16_t basso16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(v) & 0xFFFFu));
}

// 32-bit sums, differences and products are exact; a result outside the
// signed 32-bit range is a run-time failure.
inline int32_t somma32(int64_t a, int64_t b) {
  return restringi<int32_t>(a + b, "a 32-bit sum");
}
inline int32_t differenza32(int64_t a, int64_t b) {
  return restringi<int32_t>(a - b, "a 32-bit difference");
}
inline int32_t prodotto32(int64_t a, int64_t b) {
  return restringi<int32_t>(a * b, "a 32-bit product");
}

// Whether arrotonda gives x a 32-bit value: 2147483647.5 rounds to the even
// 2147483648, -2147483648.5 to -2147483648.
inline bool arrotondabile32(double x) {
  return x >= -2147483648.5 && x < 2147483647.5;
}

// Nearest whole number, ties to even, of a value computed in binary64.
inline int32_t arrotonda(double x) {
  if (!arrotondabile32(x)) throw GuastoEsecuzione("a computed value is outside the 32-bit range");
  double r = std::nearbyint(x);  // the default rounding mode rounds ties to even
  return restringi<int32_t>(static_cast<int64_t>(r), "a 32-bit value");
}

}  // namespace scenario
