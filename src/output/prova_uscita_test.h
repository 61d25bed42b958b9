#pragma once
// Test support of the tests of compiled files: a byte comparison that tells
// where two files part, and a file held to its recorded size and digest.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/decodifica_compilati.h"
#include "platform/file_atomico.h"
#include "prove/sha256_test.h"

namespace scenario {

// The first offset where two byte strings part; the shorter one's size when
// one is the start of the other, and nothing when they are equal.
inline std::optional<size_t> primo_byte_diverso(std::string_view a, std::string_view b) {
  if (a == b) return std::nullopt;
  const size_t n = std::min(a.size(), b.size());
  return static_cast<size_t>(
      std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(n), b.begin()).first -
      a.begin());
}

// The place of the first difference between two compiled files of kind
// `tipo`, named in the expected bytes (they decode, as a rule) or, past their
// end, in the bytes obtained: "offset 1336 (cell 89, dato1 (byte 1 of 2))".
inline std::string luogo_differenza(std::string_view ottenuti, std::string_view attesi,
                                    TipoCompilato tipo) {
  const std::optional<size_t> primo = primo_byte_diverso(ottenuti, attesi);
  if (!primo) return "no difference";
  const std::string_view dove = *primo < attesi.size() ? attesi : ottenuti;
  return "offset " + std::to_string(*primo) + " (" + luogo_nel_compilato(tipo, dove, *primo) + ")";
}

// Equal bytes, or the sizes and the first offset where they differ (files are
// too long to print whole), with its place when the kind of file is given.
inline testing::AssertionResult stessi_byte(const std::string& ottenuti, const std::string& attesi,
                                            std::optional<TipoCompilato> tipo = std::nullopt) {
  const std::optional<size_t> primo = primo_byte_diverso(ottenuti, attesi);
  if (!primo) return testing::AssertionSuccess();
  testing::AssertionResult esito = testing::AssertionFailure();
  esito << ottenuti.size() << " bytes where " << attesi.size() << " were expected";
  if (*primo < std::min(ottenuti.size(), attesi.size())) {
    esito << "; first difference at offset " << *primo << ": "
          << int{static_cast<unsigned char>(ottenuti[*primo])} << " instead of "
          << int{static_cast<unsigned char>(attesi[*primo])};
  } else {
    esito << "; equal up to offset " << *primo;
  }
  if (tipo) {
    const std::string_view dove = *primo < attesi.size() ? attesi : ottenuti;
    esito << ", in " << luogo_nel_compilato(*tipo, dove, *primo);
  }
  return esito;
}

// Holds the compiled file `nome` (its kind told by the name) to its recorded
// size and SHA-256. Bytes that match are kept in `cartella` under their name;
// bytes that do not are written to `cartella`/diversi, for `scenario dump`,
// and the failure names them, with the place of their first difference from
// the bytes an earlier run kept, when there are such.
inline testing::AssertionResult come_registrato(const std::string& nome, const std::string& byte,
                                                uint64_t dimensione, const std::string& digest,
                                                const std::filesystem::path& cartella) {
  const std::filesystem::path buoni = cartella / nome;
  const std::filesystem::path diversi = cartella / "diversi" / nome;
  std::error_code ignorato;
  const std::string ottenuto = sha256(byte);
  if (byte.size() == dimensione && ottenuto == digest) {
    std::filesystem::remove(diversi, ignorato);
    if (!std::filesystem::exists(buoni) || leggi_file(buoni) != byte) {
      std::filesystem::create_directories(cartella);
      scrivi_file_atomico(buoni, byte);
    }
    return testing::AssertionSuccess();
  }
  testing::AssertionResult esito = testing::AssertionFailure();
  esito << nome << ": " << byte.size() << " bytes, SHA-256 " << ottenuto << "; recorded "
        << dimensione << " bytes, SHA-256 " << digest;
  std::filesystem::create_directories(diversi.parent_path());
  scrivi_file_atomico(diversi, byte);
  esito << "; the bytes are in " << diversi.string();
  const std::optional<TipoCompilato> tipo = riconosci_compilato(nome, byte);
  if (tipo && std::filesystem::exists(buoni)) {
    esito << "; first difference from the matching bytes of an earlier run (" << buoni.string()
          << ") at " << luogo_differenza(byte, leggi_file(buoni), *tipo);
  } else {
    esito << "; no matching bytes of an earlier run are kept to compare with";
  }
  return esito;
}

}  // namespace scenario
