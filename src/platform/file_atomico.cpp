#include "platform/file_atomico.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "platform/guasto.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace scenario {
namespace fs = std::filesystem;

namespace {

std::string motivo(int errore) {
  return std::generic_category().message(errore);
}

// A path as the user reads it in a message: UTF-8 on every system (on
// Windows, string() would give the ANSI code page, or fail outside it).
std::string per_utente(const fs::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

// Opens for writing through the wide-character API on Windows, so that any
// folder name works.
std::FILE* apri_in_scrittura(const fs::path& p) {
#ifdef _WIN32
  return _wfopen(p.c_str(), L"wb");
#else
  return std::fopen(p.c_str(), "wb");
#endif
}

// Renames `da` over `a` in one step, replacing a file that is there.
void sostituisci(const fs::path& da, const fs::path& a, std::error_code& ec) {
#ifdef _WIN32
  // MoveFileExW with MOVEFILE_REPLACE_EXISTING is Windows' atomic replace
  // within a volume; a folder standing where the file goes is refused as
  // rename refuses it elsewhere.
  ec.clear();
  if (fs::is_directory(a, ec)) {
    ec = std::make_error_code(std::errc::is_a_directory);
    return;
  }
  ec.clear();
  if (!MoveFileExW(da.c_str(), a.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ec = std::error_code(static_cast<int>(GetLastError()), std::system_category());
  }
#else
  fs::rename(da, a, ec);
#endif
}

fs::path nome_temporaneo(const fs::path& destinazione) {
  static unsigned contatore = 0;
  fs::path t = destinazione;
  t += ".tmp" + std::to_string(++contatore);
  return t;
}

}  // namespace

FileAtomico::FileAtomico(fs::path destinazione)
    : destinazione_(std::move(destinazione)), temporaneo_(nome_temporaneo(destinazione_)) {
  errno = 0;
  file_ = apri_in_scrittura(temporaneo_);
  if (file_ == nullptr) fallisci("create", errno);
}

FileAtomico::~FileAtomico() {
  if (file_ != nullptr) {
    std::fclose(file_);
    std::error_code ignorato;
    fs::remove(temporaneo_, ignorato);
  }
}

void FileAtomico::fallisci(const char* azione, int errore) {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  std::error_code ignorato;
  fs::remove(temporaneo_, ignorato);
  throw GuastoEsecuzione(std::string("cannot ") + azione + " " + per_utente(destinazione_) + ": " +
                         motivo(errore != 0 ? errore : EIO));
}

void FileAtomico::scrivi(const void* dati, size_t n) {
  if (n == 0) return;
  errno = 0;
  if (std::fwrite(dati, 1, n, file_) != n) fallisci("write", errno);
}

void FileAtomico::conferma() {
  errno = 0;
  if (std::fflush(file_) != 0) fallisci("write", errno);
  int esito = std::fclose(file_);
  file_ = nullptr;
  if (esito != 0) {
    int e = errno;
    std::error_code ignorato;
    fs::remove(temporaneo_, ignorato);
    throw GuastoEsecuzione("cannot write " + per_utente(destinazione_) + ": " + motivo(e));
  }
  std::error_code ec;
  sostituisci(temporaneo_, destinazione_, ec);
  if (ec) {
    std::error_code ignorato;
    fs::remove(temporaneo_, ignorato);
    throw GuastoEsecuzione("cannot replace " + per_utente(destinazione_) + ": " + ec.message());
  }
}

void scrivi_file_atomico(const fs::path& destinazione, std::string_view contenuto) {
  FileAtomico f(destinazione);
  f.scrivi(contenuto);
  f.conferma();
}

std::string leggi_file(const fs::path& percorso) {
  std::error_code ec;
  if (fs::is_directory(percorso, ec)) {
    throw GuastoEsecuzione("cannot read " + per_utente(percorso) + ": " + motivo(EISDIR));
  }
  std::ifstream in(percorso, std::ios::binary);
  if (!in) throw GuastoEsecuzione("cannot open " + per_utente(percorso) + ": " + motivo(errno));
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw GuastoEsecuzione("cannot read " + per_utente(percorso));
  return s;
}

void elimina_se_esiste(const fs::path& percorso) {
  std::error_code ec;
  if (!fs::exists(percorso, ec)) return;
  if (!fs::remove(percorso, ec) || ec) {
    throw GuastoEsecuzione("cannot delete " + per_utente(percorso) + ": " + ec.message());
  }
}

}  // namespace scenario
