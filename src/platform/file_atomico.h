#pragma once
// Every file the system writes, text or compiled, is replaced atomically: the
// bytes go to a temporary file in the same folder, which is renamed over the
// target only when complete and on the disk. The temporary's name holds the
// process id and a counter, and it is created only where no file stands, so
// two runs writing the same target never share one. A failed write leaves the
// earlier file as it was and removes the temporary. Failures are
// GuastoEsecuzione naming the file and the system's reason.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace scenario {

class FileAtomico {
 public:
  explicit FileAtomico(std::filesystem::path destinazione);
  ~FileAtomico();  // removes the temporary when conferma() was not reached
  FileAtomico(const FileAtomico&) = delete;
  FileAtomico& operator=(const FileAtomico&) = delete;

  void scrivi(const void* dati, size_t n);
  void scrivi(std::string_view s) { scrivi(s.data(), s.size()); }
  // Flushes to the disk, closes and renames the temporary over the destination.
  void conferma();

  const std::filesystem::path& destinazione() const { return destinazione_; }

 private:
  [[noreturn]] void fallisci(const char* azione, int errore);

  std::filesystem::path destinazione_;
  std::filesystem::path temporaneo_;
  std::FILE* file_ = nullptr;
};

// Writes the whole of `contenuto` as the new content of `destinazione`.
void scrivi_file_atomico(const std::filesystem::path& destinazione, std::string_view contenuto);

// Reads a whole file; fails with the file's name and the system's reason.
std::string leggi_file(const std::filesystem::path& percorso);

// Deletes a file when it exists; a file that cannot be deleted is a failure.
void elimina_se_esiste(const std::filesystem::path& percorso);

}  // namespace scenario
