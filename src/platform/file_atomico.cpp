#include "platform/file_atomico.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "platform/guasto.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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

// Creates `p` for writing only when no file of that name exists, so a
// temporary never takes over another run's (through the wide-character API
// on Windows, so that any folder name works). Null with errno set on failure;
// EEXIST when the name is taken.
std::FILE* crea_esclusivo(const fs::path& p) {
#ifdef _WIN32
  HANDLE h =
      CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD e = GetLastError();
    errno = e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS ? EEXIST
            : e == ERROR_ACCESS_DENIED                          ? EACCES
            : e == ERROR_PATH_NOT_FOUND                         ? ENOENT
                                                                : EIO;
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(h);
    errno = EIO;
    return nullptr;
  }
  std::FILE* f = _fdopen(fd, "wb");
  if (f == nullptr) _close(fd);
  return f;
#else
  const int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* f = fdopen(fd, "wb");
  if (f == nullptr) {
    const int e = errno;
    close(fd);
    errno = e;
  }
  return f;
#endif
}

// Puts the file's bytes on the disk before it is renamed over the target, so
// that a crash right after the replace cannot leave an empty file in its place.
bool su_disco(std::FILE* f) {
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

// Puts the rename itself on the disk where the system allows it (a folder can
// be flushed on POSIX systems; on Windows MOVEFILE_WRITE_THROUGH does it). The
// file is in place already: a folder that cannot be flushed is not a failure.
void cartella_su_disco([[maybe_unused]] const fs::path& file) {
#ifndef _WIN32
  fs::path cartella = file.parent_path();
  if (cartella.empty()) cartella = ".";
  const int fd = open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
#endif
}

unsigned long numero_processo() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
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

// The temporary's name: the target's, the process id and a number counted
// over the whole process, "NAME.tmpPID-N". Two runs, or two writers in one
// run, never pick the same name; a name left by a crashed run is skipped.
fs::path nome_temporaneo(const fs::path& destinazione) {
  static std::atomic<unsigned long> contatore{0};
  fs::path t = destinazione;
  t += ".tmp" + std::to_string(numero_processo()) + "-" + std::to_string(++contatore);
  return t;
}

// How many taken names are skipped before the folder is given up on.
constexpr int kTentativiNome = 1000;

}  // namespace

FileAtomico::FileAtomico(fs::path destinazione) : destinazione_(std::move(destinazione)) {
  for (int tentativo = 0; tentativo < kTentativiNome; ++tentativo) {
    temporaneo_ = nome_temporaneo(destinazione_);
    errno = 0;
    file_ = crea_esclusivo(temporaneo_);
    if (file_ != nullptr) return;
    if (errno != EEXIST) break;
  }
  const int e = errno;
  temporaneo_.clear();  // not ours: never removed
  fallisci("create", e);
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
  if (!temporaneo_.empty()) fs::remove(temporaneo_, ignorato);
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
  errno = 0;
  if (!su_disco(file_)) fallisci("write", errno);
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
  cartella_su_disco(destinazione_);
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
