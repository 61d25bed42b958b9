#include "platform/percorsi_utf8.h"

namespace scenario {
#ifdef _WIN32
namespace {

// The length of the well-formed UTF-8 sequence at s[i], or 0 when there is
// none there (a stray continuation byte, an overlong form, a surrogate, a
// code point past U+10FFFF, a sequence cut short).
size_t sequenza_utf8(std::string_view s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return 1;
  size_t n = 0;
  unsigned char min = 0x80, max = 0xBF;  // the second byte's range
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    if (c == 0xE0) min = 0xA0;
    if (c == 0xED) max = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    if (c == 0xF0) min = 0x90;
    if (c == 0xF4) max = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size() || b(i + 1) < min || b(i + 1) > max) return 0;
  for (size_t k = 2; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
  }
  return n;
}

}  // namespace
#endif

std::filesystem::path percorso_utf8(std::string_view utf8) {
#ifdef _WIN32
  // Windows' paths are UTF-16, and the conversion throws on a byte that is no
  // UTF-8 (a file URI may decode to one): each such byte becomes U+FFFD, a
  // name no file has, so the path is merely one that is not there.
  std::u8string u;
  u.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = sequenza_utf8(utf8, i);
    if (n == 0) {
      u += u8"\uFFFD";
      ++i;
      continue;
    }
    u.append(utf8.begin() + static_cast<std::ptrdiff_t>(i),
             utf8.begin() + static_cast<std::ptrdiff_t>(i + n));
    i += n;
  }
  return std::filesystem::path(u);
#else
  // POSIX paths are bytes: every byte stands for itself.
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#endif
}

std::string utf8_di(const std::filesystem::path& percorso) {
  const std::u8string u = percorso.u8string();
  return std::string(u.begin(), u.end());
}

}  // namespace scenario
