#include "app/cartella_programma.h"

#include <system_error>

#include "model/guasto.h"

namespace scenario {

std::filesystem::path cartella_programma() {
  std::error_code ec;
  std::filesystem::path eseguibile = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) throw GuastoEsecuzione("cannot find the program's folder: " + ec.message());
  return eseguibile.parent_path();
}

}  // namespace scenario
