// The format table against the sources it describes: every entry of the
// carried scenario is recognised as the entry the table names for it, and
// every example line is a line of its own entry.

#include "compiler/formato.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/scenario_testi.h"

namespace scenario {
namespace {

std::string primo_campo(const std::string& riga) {
  return riga.substr(0, riga.find(','));
}

TEST(FormatoTest, EveryEntryOfTheCarriedSourcesIsAnEntryOfTheTable) {
  const struct {
    Righe righe;
    SorgenteFormato sorgente;
    size_t voci;  // entries of the table that the carried source uses
  } casi[] = {{righe_linea(), SorgenteFormato::kLinea, 13},
              {righe_treno(), SorgenteFormato::kTreno, 8}};
  for (const auto& c : casi) {
    bool generale = false;
    std::set<std::string_view> usate;
    for (int i = 0; c.righe[i] != kFineRighe; ++i) {
      const std::string campo = primo_campo(c.righe[i]);
      if (campo.front() == '[') {
        generale = campo == "[generale]";
        continue;
      }
      const VoceFormato* v = voce_riconosciuta(campo, c.sorgente, generale);
      ASSERT_NE(v, nullptr) << c.righe[i];
      usate.insert(v->parola);
    }
    EXPECT_EQ(usate.size(), c.voci);
  }
}

TEST(FormatoTest, EachExampleIsRecognisedAsItsOwnEntryWithAllItsFields) {
  for (const VoceFormato& v : voci_formato()) {
    const std::string esempio(v.esempio);
    const bool generale = v.sezione == "[generale]";
    EXPECT_EQ(voce_riconosciuta(primo_campo(esempio), v.sorgente, generale), &v) << v.parola;
    EXPECT_EQ(voce_per_parola(v.parola), &v);
    // Fields after the keyword: commas, and the clock's blanks.
    size_t campi = 0;
    for (char ch : esempio) campi += ch == ',';
    if (v.parola == "orologio") campi = 3;
    EXPECT_EQ(campi, v.campi.size()) << v.parola;
    for (const CampoFormato& c : v.campi) {
      EXPECT_LE(c.minimo, c.massimo) << v.parola << " " << c.nome;
      EXPECT_FALSE(c.significato.empty()) << v.parola << " " << c.nome;
    }
  }
}

TEST(FormatoTest, RecognitionFollowsTheReadersWordsAndLetterCase) {
  const struct {
    const char* campo;
    SorgenteFormato sorgente;
    bool generale;
    const char* attesa;  // "" for no entry
  } casi[] = {
      {"STAZIONE", SorgenteFormato::kTreno, false, "stazione"},
      {"stazioni", SorgenteFormato::kTreno, false, ""},
      {"velocità", SorgenteFormato::kTreno, false, "velocita"},
      {"curvas5", SorgenteFormato::kLinea, false, "curva"},
      {"Progressiva chilometrica uno", SorgenteFormato::kLinea, true, ""},  // exact case
      {"LUNGHEZZA PERCORSO", SorgenteFormato::kLinea, true, "lunghezza percorso"},
      {"lunghezza percorso", SorgenteFormato::kLinea, false, ""},  // general section only
      {"pendenza", SorgenteFormato::kLinea, true, ""},
      {"cartello-indicatore", SorgenteFormato::kLinea, false, ""},  // discarded
      {"-- segnale", SorgenteFormato::kTreno, false, ""},
      {"indicatori_vmax", SorgenteFormato::kLinea, false, "indicatori_vmax"},
  };
  for (const auto& c : casi) {
    const VoceFormato* v = voce_riconosciuta(c.campo, c.sorgente, c.generale);
    EXPECT_EQ(v == nullptr ? std::string_view() : v->parola, std::string_view(c.attesa)) << c.campo;
  }
}

}  // namespace
}  // namespace scenario
