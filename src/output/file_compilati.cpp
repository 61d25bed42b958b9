#include "output/file_compilati.h"

#include <string>

#include "platform/file_atomico.h"

namespace scenario {
namespace {

template <typename Codifica>
std::string in_memoria(Codifica codifica, size_t dimensione = 0) {
  ScrittoreLE out;
  out.riserva(dimensione);
  codifica(out);
  return out.prendi_byte();
}

// Bytes of the plan file: 2 per tag, then 2 per Integer and 8 per binary64.
size_t dimensione_tracciato(const Tracciato& t) {
  size_t n = 0;
  for (uint8_t e : t.etichette()) {
    n += 2 + (e == static_cast<uint8_t>(Etichetta::kIntero)   ? 2
              : e == static_cast<uint8_t>(Etichetta::kDoppio) ? 8
                                                              : 0);
  }
  return n;
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
  out.etichettati(tracciato.etichette(), tracciato.valori());
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
  m.ultima_cella();  // fails when the cell array was never created
  for (const Cella& c : m.celle) {
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
  if (!t.creato()) throw GuastoEsecuzione("the plan table was never created");
  return in_memoria([&](ScrittoreLE& out) { codifica_tracciato(t, out); }, dimensione_tracciato(t));
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
