#include "platform/cartella_programma.h"

#include <string>
#include <system_error>

#include "platform/guasto.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace scenario {

#ifdef _WIN32

// The running module's own path, in wide characters, so that a folder whose
// name lies outside the ANSI code page is found as it is.
std::filesystem::path cartella_programma() {
  std::wstring nome(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
    if (n == 0) {
      throw GuastoEsecuzione("cannot find the program's folder: " +
                             std::system_category().message(static_cast<int>(GetLastError())));
    }
    if (n < nome.size()) {
      nome.resize(n);
      break;
    }
    nome.resize(nome.size() * 2);  // cut short: try again with more room
  }
  return std::filesystem::path(nome).parent_path();
}

#else

std::filesystem::path cartella_programma() {
  std::error_code ec;
  std::filesystem::path eseguibile = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) throw GuastoEsecuzione("cannot find the program's folder: " + ec.message());
  return eseguibile.parent_path();
}

#endif

}  // namespace scenario
