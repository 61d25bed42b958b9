#pragma once
// Test support of the output tests: a byte comparison that tells where two
// files part.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

// Equal bytes, or the sizes and the first offset where they differ (files are
// too long to print whole).
inline testing::AssertionResult stessi_byte(const std::string& ottenuti,
                                            const std::string& attesi) {
  if (ottenuti == attesi) return testing::AssertionSuccess();
  const size_t n = std::min(ottenuti.size(), attesi.size());
  const size_t primo = static_cast<size_t>(
      std::mismatch(ottenuti.begin(), ottenuti.begin() + static_cast<std::ptrdiff_t>(n),
                    attesi.begin())
          .first -
      ottenuti.begin());
  testing::AssertionResult esito = testing::AssertionFailure();
  esito << ottenuti.size() << " bytes where " << attesi.size() << " were expected";
  if (primo < n) {
    esito << "; first difference at offset " << primo << ": "
          << int{static_cast<unsigned char>(ottenuti[primo])} << " instead of "
          << int{static_cast<unsigned char>(attesi[primo])};
  }
  return esito;
}

}  // namespace scenario
