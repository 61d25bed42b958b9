#include "compiler/memorizza_dati.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "compiler/lettura_sorgenti.h"
#include "platform/file_atomico.h"
#include "text/nomi_file.h"

namespace scenario {

namespace fs = std::filesystem;

std::string nome_per_utente(const fs::path& file) {
  std::u8string u = file.u8string();
  return std::string(u.begin(), u.end());
}

std::string nome_voce(std::string testo, const char* cosa) {
  constexpr size_t kMassimo = 65535;
  if (testo.size() > kMassimo) {
    throw GuastoEsecuzione(std::string(cosa) + " of " + std::to_string(testo.size()) +
                           " characters does not fit an item's name (at most " +
                           std::to_string(kMassimo) + ")");
  }
  return testo;
}

void LetturaSorgenti::inizia(const fs::path& file) {
  lettore_.reset();
  luogo_voce_ = LuogoSorgente{nome_per_utente(file), 0, 0};
  voce_ = VoceLetta{};
  voce_.luogo = luogo_voce_;
  voce_.linea = &file == &sorgenti.linea || file == sorgenti.linea;
}

const std::optional<std::string>& LetturaSorgenti::in_memoria() const {
  return voce_.linea ? sorgenti.testo_linea : sorgenti.testo_treno;
}

LettoreCampi& LetturaSorgenti::apri(const fs::path& file) {
  const std::optional<std::string>& testo = in_memoria();
  lettore_.emplace(testo ? *testo : leggi_file(file), luogo_voce_.file);
  return *lettore_;
}

void LetturaSorgenti::chiudi_ed_elimina(const fs::path& file) {
  chiudi();
  if (sorgenti.elimina && !in_memoria()) elimina_se_esiste(file);
}

void LetturaSorgenti::leggi_voce() {
  m.campo = lettore_->leggi_testo();
  luogo_voce_.riga = lettore_->luogo_campo().riga;
  luogo_voce_.colonna = lettore_->luogo_campo().colonna;
  lettore_->nuova_voce();
  const bool linea = voce_.linea;
  voce_ = VoceLetta{};
  voce_.luogo = luogo_voce_;
  voce_.parola = m.campo.substr(0, kCitazioneCampo);
  voce_.linea = linea;
  voce_.generale = fase_generale;
}

void LetturaSorgenti::registra(int32_t codice) {
  m.codice_errore = codice;
  segna_luogo();
  aggiorna_campi();
  if (sorgenti.osservatore != nullptr) {
    sorgenti.osservatore->errore_registrato(voce_, codice, m.posizione_errore, "");
  }
}

void LetturaSorgenti::registra(int32_t codice, int32_t posizione) {
  m.posizione_errore = posizione;
  registra(codice);
}

void LetturaSorgenti::registra_guasto(const GuastoEsecuzione& guasto) {
  m.codice_errore = 25;
  segna_luogo();
  aggiorna_campi();
  if (sorgenti.osservatore == nullptr) return;
  // A field that could not be read says where it failed; keep that place,
  // in words, and leave out the file the entry already names.
  std::string perche = guasto.what();
  VoceLetta voce = voce_;
  if (const auto* e = dynamic_cast<const ErroreLettura*>(&guasto)) {
    voce.fallito = e->campo();
    voce.perche_fallito = e->perche();
    const LuogoSorgente& dove = e->luogo();
    const std::string prefisso =
        dove.file + ":" + std::to_string(dove.riga) + ":" + std::to_string(dove.colonna) + ": ";
    if (perche.rfind(prefisso, 0) == 0) perche.erase(0, prefisso.size());
    perche = (dove.riga == luogo_voce_.riga ? "" : "line " + std::to_string(dove.riga) + ", ") +
             "column " + std::to_string(dove.colonna) + ": " + perche;
  }
  sorgenti.osservatore->errore_registrato(voce, 25, m.posizione_errore, perche);
}

void LetturaSorgenti::segna_file(const fs::path& file) {
  m.luogo_errore = LuogoSorgente{nome_per_utente(file), 0, 0};
}

void LetturaSorgenti::campo_ignorato() {
  if (sorgenti.osservatore != nullptr && !m.campo.empty()) {
    sorgenti.osservatore->campo_ignorato(luogo_voce_, m.campo);
  }
}

namespace {

// The failure handler's own deletion must not fail in its turn.
void elimina_senza_guasto(const fs::path& file) {
  std::error_code ec;
  if (fs::exists(file, ec) && !fs::is_directory(file, ec)) fs::remove(file, ec);
}

}  // namespace

SorgentiScenario sorgenti_generatore(const fs::path& cartella, const std::string& nome_scenario,
                                     const std::string& numero_treno) {
  SorgentiScenario s;
  s.linea = percorso_file(cartella, FileScenario::kSorgenteLinea, nome_scenario, numero_treno);
  s.treno = percorso_file(cartella, FileScenario::kSorgenteTreno, nome_scenario, numero_treno);
  return s;
}

void memorizza_dati(ModelloPercorso& m, const SorgentiScenario& sorgenti) {
  LetturaSorgenti l(m, sorgenti);
  try {
    m.voce(kVoceScenario).nome = m.nome_scenario;
    m.voce(kVoceRipetizione).nome = m.numero_treno;
    if (leggi_linea(l) == DopoLinea::kEsci) return;
    leggi_treno(l);
  } catch (const GuastoEsecuzione& guasto) {
    // Any failure while reading (a source that ends inside an entry, a value
    // that does not fit, an entry outside the model) ends the reading with 25.
    l.chiudi();
    if (sorgenti.elimina) {
      if (!sorgenti.testo_linea) elimina_senza_guasto(sorgenti.linea);
      if (!sorgenti.testo_treno) elimina_senza_guasto(sorgenti.treno);
    }
    l.registra_guasto(guasto);
  }
}

}  // namespace scenario
