#include "toolkit/riga_comando.h"

namespace scenario {

bool Argomenti::bandiera(std::string_view nome) {
  if (!resta() || solo_posizionali_ || a_[i_] != nome) return false;
  ++i_;
  return true;
}

bool Argomenti::valore(std::string_view nome, std::string& v) {
  if (!resta() || solo_posizionali_) return false;
  const std::string& a = a_[i_];
  if (a == nome) {
    if (i_ + 1 >= a_.size()) throw ErroreUso("option '" + a + "' needs a value");
    v = a_[i_ + 1];
    i_ += 2;
    return true;
  }
  const bool lunga = nome.size() > 2;
  if (lunga && a.size() > nome.size() && a.compare(0, nome.size(), nome) == 0 &&
      a[nome.size()] == '=') {
    v = a.substr(nome.size() + 1);
    ++i_;
    return true;
  }
  if (!lunga && a.size() > 2 && a.compare(0, 2, nome) == 0) {
    v = a.substr(2);
    ++i_;
    return true;
  }
  return false;
}

bool Argomenti::e_opzione() const {
  if (!resta() || solo_posizionali_) return false;
  const std::string& a = a_[i_];
  return a.size() > 1 && a[0] == '-';
}

bool Argomenti::prossimo() {
  if (resta() && !solo_posizionali_ && a_[i_] == "--") {
    solo_posizionali_ = true;
    ++i_;
  }
  return resta();
}

std::string Argomenti::prendi() {
  return a_[i_++];
}

void Argomenti::sconosciuta() const {
  throw ErroreUso("unknown option '" + a_[i_] + "'");
}

}  // namespace scenario
