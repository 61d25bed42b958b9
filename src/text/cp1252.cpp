#include "text/cp1252.h"

#include <array>
#include <cstdint>

namespace scenario {
namespace {

// Code points of bytes 0x80..0x9F; 0 where the code page defines nothing.
constexpr std::array<char32_t, 32> kAlti = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int byte_di(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (size_t i = 0; i < kAlti.size(); ++i) {
    if (kAlti[i] != 0 && kAlti[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

void aggiungi_utf8(std::string& s, char32_t cp) {
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string utf8_a_cp1252(std::string_view u) {
  std::string out;
  out.reserve(u.size());
  size_t i = 0;
  while (i < u.size()) {
    unsigned char b = static_cast<unsigned char>(u[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    char32_t cp = 0;
    bool valido = len > 0 && i + len <= u.size();
    if (valido) {
      cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
      for (int k = 1; k < len; ++k) {
        unsigned char c = static_cast<unsigned char>(u[i + k]);
        if ((c & 0xC0) != 0x80) {
          valido = false;
          break;
        }
        cp = (cp << 6) | (c & 0x3F);
      }
    }
    // Overlong forms and surrogates are not UTF-8 either.
    if (valido && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) ||
                   (len == 4 && cp < 0x10000) || (cp >= 0xD800 && cp <= 0xDFFF))) {
      valido = false;
    }
    if (!valido) {
      out += '?';
      ++i;
      continue;
    }
    int byte = byte_di(cp);
    out += byte < 0 ? '?' : static_cast<char>(byte);
    i += static_cast<size_t>(len);
  }
  return out;
}

std::string cp1252_a_utf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char ch : s) {
    unsigned char b = static_cast<unsigned char>(ch);
    char32_t cp = b;
    if (b >= 0x80 && b <= 0x9F) cp = kAlti[b - 0x80] != 0 ? kAlti[b - 0x80] : 0xFFFD;
    aggiungi_utf8(out, cp);
  }
  return out;
}

std::string utf8_mostrabile(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    const size_t len = b < 0x80         ? 1
                       : (b >> 5) == 6  ? 2
                       : (b >> 4) == 14 ? 3
                       : (b >> 3) == 30 ? 4
                                        : 0;
    char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    bool valido = len > 0 && i + len <= s.size();
    for (size_t k = 1; valido && k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      valido = (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (valido &&
        ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) ||
         (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))) {
      valido = false;
    }
    if (valido) {
      out.append(s.substr(i, len));
      i += len;
    } else {
      out += cp1252_a_utf8(s.substr(i, 1));
      ++i;
    }
  }
  return out;
}

unsigned char minuscola_cp1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);
  if (c == 0x9F) return 0xFF;
  return c;
}

std::string minuscolo_cp1252(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(minuscola_cp1252(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace scenario
