#include "platform/percorsi_utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace scenario {
namespace {

TEST(PercorsiUtf8Test, UsableTextRoundTripsAndAnyOtherNeverThrows) {
  for (const std::string t : {"Scenari è ü αж/a b.txt", "x/\xF0\x9F\x98\x80.txt"}) {
    EXPECT_EQ(utf8_di(percorso_utf8(t)), t);
  }
  // Bytes that are no UTF-8, as a file URI may decode to: a stray
  // continuation, an overlong form, a surrogate, a sequence cut short.
  for (const std::string t : {"a\x80.txt", "\xC0\xAF", "\xED\xA0\x80", "b\xE2\x82"}) {
    SCOPED_TRACE(t);
    std::filesystem::path p;
    EXPECT_NO_THROW(p = percorso_utf8(t));
#ifdef _WIN32
    EXPECT_NE(utf8_di(p).find("\xEF\xBF\xBD"), std::string::npos);  // U+FFFD
#else
    EXPECT_EQ(p.native(), t);  // a POSIX path is its bytes
#endif
  }
}

}  // namespace
}  // namespace scenario
