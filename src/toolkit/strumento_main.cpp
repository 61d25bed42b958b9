// The authors' toolkit: see app/strumento.h.

#include <iostream>
#include <string>
#include <vector>

#include "toolkit/strumento.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
std::string utf8(const std::wstring& w) {
  if (w.empty()) return "";
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
  }
  return s;
}

// The wide command line split as the C run-time splits it: blanks between
// arguments, double quotes around blanks, 2n backslashes before a quote give
// n and the quote delimits, 2n + 1 give n and a literal quote.
std::vector<std::string> argomenti_windows() {
  const wchar_t* c = GetCommandLineW();
  std::vector<std::string> r;
  // The program's name: up to the first blank, or quoted, with no escapes.
  if (*c == L'"') {
    for (++c; *c != L'\0' && *c != L'"'; ++c) {
    }
    if (*c == L'"') ++c;
  } else {
    while (*c != L'\0' && *c != L' ' && *c != L'\t') ++c;
  }
  for (;;) {
    while (*c == L' ' || *c == L'\t') ++c;
    if (*c == L'\0') break;
    std::wstring a;
    bool tra_virgolette = false;
    while (*c != L'\0' && (tra_virgolette || (*c != L' ' && *c != L'\t'))) {
      size_t barre = 0;
      while (*c == L'\\') ++barre, ++c;
      if (*c == L'"') {
        a.append(barre / 2, L'\\');
        if (barre % 2 == 1) {
          a += L'"';
        } else if (tra_virgolette && c[1] == L'"') {
          a += L'"';  // "" inside quotes is one quote
          ++c;
        } else {
          tra_virgolette = !tra_virgolette;
        }
        ++c;
      } else {
        a.append(barre, L'\\');
        if (*c != L'\0' && (tra_virgolette || (*c != L' ' && *c != L'\t'))) a += *c++;
      }
    }
    r.push_back(utf8(a));
  }
  return r;
}
#endif

// The arguments as UTF-8: on Windows from the wide command line, since the
// narrow one holds only what the ANSI code page can say.
std::vector<std::string> argomenti_utf8(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  return argomenti_windows();
#else
  return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> argomenti = argomenti_utf8(argc, argv);
  const int stato = scenario::esegui_strumento(argomenti, std::cout, std::cerr);
  std::cout.flush();
  return stato;
}
