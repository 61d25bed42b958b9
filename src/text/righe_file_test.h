#pragma once
// For the text tests: a written text file split back into its lines, and the
// figures of its line-count table.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace scenario {

// The lines of a text file's bytes. Every line, the last one included, must
// end with CR LF; a CR or an LF standing alone is a fault of the writer.
inline std::vector<std::string> righe_del_file(const std::string& byte) {
  std::vector<std::string> righe;
  size_t inizio = 0;
  while (inizio < byte.size()) {
    size_t fine = byte.find("\r\n", inizio);
    if (fine == std::string::npos) {
      ADD_FAILURE() << "line " << righe.size() + 1 << " does not end with CR LF";
      fine = byte.size();
    }
    std::string riga = byte.substr(inizio, fine - inizio);
    if (riga.find_first_of("\r\n") != std::string::npos) {
      ADD_FAILURE() << "lone CR or LF in line " << righe.size() + 1;
    }
    righe.push_back(riga);
    inizio = fine + 2;
  }
  return righe;
}

struct ConteggioRighe {
  size_t righe = 0;
  size_t piu_lunga = 0;  // in Windows-1252 characters, one byte each
  size_t vuote = 0;
};

inline ConteggioRighe conta_righe(const std::vector<std::string>& righe) {
  ConteggioRighe c;
  c.righe = righe.size();
  for (const auto& r : righe) {
    c.piu_lunga = std::max(c.piu_lunga, r.size());
    if (r.empty()) ++c.vuote;
  }
  return c;
}

}  // namespace scenario
