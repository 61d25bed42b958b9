#include "app/file_atomico.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "model/guasto.h"

namespace scenario {
namespace fs = std::filesystem;

namespace {

std::string motivo(int errore) {
  return std::generic_category().message(errore);
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
  file_ = std::fopen(temporaneo_.string().c_str(), "wb");
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
  throw GuastoEsecuzione(std::string("cannot ") + azione + " " + destinazione_.string() + ": " +
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
    throw GuastoEsecuzione("cannot write " + destinazione_.string() + ": " + motivo(e));
  }
  std::error_code ec;
  fs::rename(temporaneo_, destinazione_, ec);
  if (ec) {
    std::error_code ignorato;
    fs::remove(temporaneo_, ignorato);
    throw GuastoEsecuzione("cannot replace " + destinazione_.string() + ": " + ec.message());
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
    throw GuastoEsecuzione("cannot read " + percorso.string() + ": " + motivo(EISDIR));
  }
  std::ifstream in(percorso, std::ios::binary);
  if (!in) throw GuastoEsecuzione("cannot open " + percorso.string() + ": " + motivo(errno));
  std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw GuastoEsecuzione("cannot read " + percorso.string());
  return s;
}

void elimina_se_esiste(const fs::path& percorso) {
  std::error_code ec;
  if (!fs::exists(percorso, ec)) return;
  if (!fs::remove(percorso, ec) || ec) {
    throw GuastoEsecuzione("cannot delete " + percorso.string() + ": " + ec.message());
  }
}

}  // namespace scenario
