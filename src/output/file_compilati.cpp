#include "output/file_compilati.h"

#include <string>

#include "app/file_atomico.h"
#include "model/numeri.h"

namespace scenario {
namespace {

[[noreturn]] void etichetta_sconosciuta(uint8_t etichetta, size_t elemento) {
  throw GuastoEsecuzione("plan table element " + std::to_string(elemento) + " has type tag " +
                         std::to_string(etichetta) + ", which the plan file cannot hold");
}

template <typename Codifica>
std::string in_memoria(Codifica codifica) {
  ScrittoreLE out;
  codifica(out);
  return std::string(out.byte());
}

template <typename Codifica>
void su_file(const std::filesystem::path& percorso, Codifica codifica) {
  FileAtomico file(percorso);
  ScrittoreLE out(file);
  codifica(out);
  out.svuota();
  file.conferma();
}

}  // namespace

void codifica_tracciato(const Tracciato& tracciato, ScrittoreLE& out) {
  if (!tracciato.creato()) throw GuastoEsecuzione("the plan table was never created");
  // One pass in storage order: all of coordinate 0, then all of coordinate 1.
  const std::vector<uint8_t>& etichette = tracciato.etichette();
  const std::vector<double>& valori = tracciato.valori();
  for (size_t e = 0; e < etichette.size(); ++e) {
    switch (static_cast<Etichetta>(etichette[e])) {
      case Etichetta::kVuoto:
        out.u16(static_cast<uint16_t>(Etichetta::kVuoto));
        break;
      case Etichetta::kIntero:
        out.u16(static_cast<uint16_t>(Etichetta::kIntero));
        out.i16(
            restringi<int16_t>(static_cast<int64_t>(valori[e]), "an Integer of the plan table"));
        break;
      case Etichetta::kDoppio:
        out.u16(static_cast<uint16_t>(Etichetta::kDoppio));
        out.f64(valori[e]);
        break;
      default:
        etichetta_sconosciuta(etichette[e], e);
    }
  }
}

void codifica_voci(const ModelloPercorso& m, ScrittoreLE& out) {
  for (int i = 0; i < kNumeroVoci; ++i) {
    const Voce& v = m.voce(i);
    out.u8(v.tipo);
    out.i32(v.inizio);
    out.i32(v.fine);
    out.i32(v.posizione);
    out.u8(v.opz4);
    out.testo(v.nome);
    out.i16(v.opz7);
    out.i16(v.opz8);
    out.i16(v.opz10);
    out.i16(v.opz11);
    out.i16(v.opz12);
    out.u8(v.opz9);
    out.u8(v.opz13);
    out.u8(v.opz6);
    out.u8(v.opz5);
    out.i32(v.orario);
  }
}

void codifica_celle(const ModelloPercorso& m, ScrittoreLE& out) {
  const int32_t n = m.ultima_cella();
  for (int32_t i = 0; i <= n; ++i) {
    const Cella& c = m.cella(i);
    out.u8(c.tipo);
    out.i16(c.dato1);
    out.i16(c.dato2);
    out.i16(c.dato3);
    out.i16(c.dato4);
    out.u8(c.tempo);
    out.u8(c.marcatore);
    out.u8(c.montagna);
    out.u8(c.vel_limite);
    out.u8(c.pendenza);
    out.u8(c.aderenza);
  }
}

std::string byte_tracciato(const Tracciato& t) {
  return in_memoria([&](ScrittoreLE& out) { codifica_tracciato(t, out); });
}
std::string byte_voci(const ModelloPercorso& m) {
  return in_memoria([&](ScrittoreLE& out) { codifica_voci(m, out); });
}
std::string byte_celle(const ModelloPercorso& m) {
  return in_memoria([&](ScrittoreLE& out) { codifica_celle(m, out); });
}

void scrivi_file_tracciato(const std::filesystem::path& percorso, const Tracciato& t) {
  // Refused before the file is opened, so nothing of it is touched.
  if (!t.creato()) throw GuastoEsecuzione("the plan table was never created");
  su_file(percorso, [&](ScrittoreLE& out) { codifica_tracciato(t, out); });
}
void scrivi_file_voci(const std::filesystem::path& percorso, const ModelloPercorso& m) {
  su_file(percorso, [&](ScrittoreLE& out) { codifica_voci(m, out); });
}
void scrivi_file_celle(const std::filesystem::path& percorso, const ModelloPercorso& m) {
  m.ultima_cella();  // a cell array never created fails before the file is opened
  su_file(percorso, [&](ScrittoreLE& out) { codifica_celle(m, out); });
}

}  // namespace scenario
