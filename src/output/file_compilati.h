#pragma once
// The three compiled files the simulator loads: the plan file (tracciato), the
// items file (voci 0 to 86) and the cells file (celle 0 to N). No header, no
// count, no filler: each is its elements in index order, members packed
// little-endian (see ScrittoreLE). Each file is replaced whole and atomically.

#include <filesystem>
#include <string>

#include "model/modello.h"
#include "output/scrittore_le.h"

namespace scenario {

// Bytes of one cell and of an item without its name.
inline constexpr size_t kByteCella = 15;
inline constexpr size_t kByteVoceSenzaNome = 34;

// Encoders: append a structure's bytes to `out`. They fail (GuastoEsecuzione)
// on a plan table or cell array that was never created, a tag other than
// empty, Integer or 64-bit float, or a name longer than a 2-byte count says.
void codifica_tracciato(const Tracciato& tracciato, ScrittoreLE& out);
void codifica_voci(const ModelloPercorso& m, ScrittoreLE& out);
void codifica_celle(const ModelloPercorso& m, ScrittoreLE& out);

// The same bytes in memory, for tools that dump or verify compiled files.
std::string byte_tracciato(const Tracciato& tracciato);
std::string byte_voci(const ModelloPercorso& m);
std::string byte_celle(const ModelloPercorso& m);

// Each replaces the file at `percorso` with the structure's bytes; on failure
// the earlier file stays as it was.
void scrivi_file_tracciato(const std::filesystem::path& percorso, const Tracciato& tracciato);
void scrivi_file_voci(const std::filesystem::path& percorso, const ModelloPercorso& m);
void scrivi_file_celle(const std::filesystem::path& percorso, const ModelloPercorso& m);

}  // namespace scenario
