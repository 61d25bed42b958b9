#include "text/righe.h"

#include "platform/file_atomico.h"
#include "platform/guasto.h"
#include "text/cp1252.h"

namespace scenario {

Righe::Righe() : voci_(kVociRighe) {
  voci_[0] = std::string(kFineRighe);
}

Righe::Righe(std::initializer_list<std::string_view> righe) : voci_(kVociRighe) {
  if (righe.size() >= static_cast<size_t>(kVociRighe)) {
    throw GuastoEsecuzione("a line list holds at most 1000 lines");
  }
  size_t i = 0;
  for (std::string_view r : righe) voci_[i++] = std::string(r);
  voci_[i] = std::string(kFineRighe);
}

Righe Righe::da(const std::vector<std::string>& righe) {
  if (righe.size() >= static_cast<size_t>(kVociRighe)) {
    throw GuastoEsecuzione("a line list holds at most 1000 lines");
  }
  Righe r;
  for (size_t i = 0; i < righe.size(); ++i) r.voci_[i] = righe[i];
  r.voci_[righe.size()] = std::string(kFineRighe);
  return r;
}

std::string& Righe::operator[](int i) {
  return voci_.at(static_cast<size_t>(i));
}
const std::string& Righe::operator[](int i) const {
  return voci_.at(static_cast<size_t>(i));
}

std::string testo_righe(const Righe& righe) {
  std::string testo;
  for (int i = 0;; ++i) {
    // The end marker alone ends the list; a list without one is refused
    // rather than read past its last entry.
    if (i >= kVociRighe) throw GuastoEsecuzione("line list without its end marker");
    if (righe[i] == kFineRighe) break;
    testo += utf8_a_cp1252(righe[i]);
    testo += "\r\n";
  }
  return testo;
}

void scrivi_righe(const Righe& righe, const std::filesystem::path& percorso) {
  scrivi_file_atomico(percorso, testo_righe(righe));
}

}  // namespace scenario
