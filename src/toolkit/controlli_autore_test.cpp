// The mistakes an author makes when editing the example sources: each one is
// reported on the line it was made, where the format alone would pass it in
// silence. The compiled bytes are those of the same sources as before: every
// case here is a diagnostic, never a change in what is written.

#include <gtest/gtest.h>

#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/lettore_json.h"
#include "text/righe.h"
#include "toolkit/prova_strumento_test.h"

namespace scenario {
namespace {
namespace fs = std::filesystem;

// The carried source's bytes with line `riga` (1-based) replaced by `nuova`,
// taken as raw bytes.
std::string con_riga(const Righe& righe, int riga, const std::string& nuova) {
  const std::string testo = testo_righe(righe);
  std::string r;
  size_t i = 0;
  for (int n = 1; i < testo.size(); ++n) {
    const size_t f = testo.find("\r\n", i);
    r += n == riga ? nuova : testo.substr(i, f - i);
    r += "\r\n";
    i = f + 2;
  }
  return r;
}

// The number (1-based) of the carried source's line that reads `testo`.
int riga_di(const Righe& righe, std::string_view testo) {
  for (int i = 0; righe[i] != kFineRighe; ++i) {
    if (righe[i] == testo) return i + 1;
  }
  ADD_FAILURE() << "no line " << testo;
  return 0;
}

struct Visto {
  std::string file;  // "L" or "T"
  int riga;
  std::string nome;  // warning name, or "error CODE", or "note"
  std::string messaggio;
};

std::vector<Visto> compila_modificati(char file, int riga, const std::string& nuova) {
  CartellaTemporanea t;
  const fs::path linea = t.percorso() / "Prova_linea.txt";
  const fs::path treno = t.percorso() / "Prova_823-.txt";
  scrivi_file_atomico(
      linea, file == 'L' ? con_riga(righe_linea(), riga, nuova) : testo_righe(righe_linea()));
  scrivi_file_atomico(
      treno, file == 'T' ? con_riga(righe_treno(), riga, nuova) : testo_righe(righe_treno()));
  const EsitoStrumento e = esegui_prova(
      {"compile", linea.string(), treno.string(), "-o", (t.percorso() / "out").string(), "--json"});
  std::vector<Visto> visti;
  const ValoreJson j = leggi_json(e.out);
  if (!j.ha("diagnostics")) ADD_FAILURE() << e.out << e.err;
  for (const ValoreJson& d : j["diagnostics"].lista) {
    const std::string chi = d["file"].stringa == linea.string() ? "L" : "T";
    std::string nome = d["level"].stringa == "note" ? "note"
                       : d["warning"].tipo == ValoreJson::kStringa
                           ? d["warning"].stringa
                           : "error " + std::to_string(d["code"].intero);
    visti.push_back({chi, static_cast<int>(d["line"].intero), nome, d["message"].stringa});
  }
  return visti;
}

TEST(ControlliAutoreTest, EachMistakeIsReportedOnTheLineWhereItWasMade) {
  const struct {
    const char* errore;
    char file;
    const char* vecchia;  // the carried line the author edits
    std::string nuova;
    std::vector<std::string> attesi;  // warnings (or "error N") on that line
    const char* nel_messaggio;
    const char* nota = nullptr;  // the carried line a note names, if any
  } casi[] = {
      {"a hyphen for the underscore",
       'L',
       "cartello_indicatore,  3250,   (Sottovia)",
       "cartello-indicatore,  3250,   (Sottovia)",
       {"unknown-keyword"},
       "did you mean \"cartello_indicatore\"?"},
      {"a keyword one edit away",
       'L',
       "pendenza,  150,   3",
       "pendeza,  150,   3",
       {"unknown-keyword"},
       "did you mean \"pendenza\"?"},
      {"a decimal comma",
       'L',
       "pendenza,  150,   3",
       "pendenza,  150,   3,5",
       {"extra-field"},
       "\"5\" is left over"},
      {"a station without its name",
       'T',
       "stazione,    6600, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, SAN CATALDO",
       "stazione,    6600, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0",
       {"missing-field"},
       "stazione takes 17 fields after its keyword, found 16"},
      {"speed limits out of order",
       'T',
       "velocita,   10500,    65",
       "velocita,   5000,    65",
       {"route-order"},
       "from 5000 m does not come after the previous one"},
      {"adhesions out of order",
       'T',
       "aderenza,    1900,   100",
       "aderenza,    600,   100",
       {"route-order"},
       "from 600 m does not come after the previous one"},
      {"gradients out of order",
       'L',
       "pendenza,  150,   3",
       "pendenza,  0,   3",
       {"route-order"},
       ""},
      {"curves out of order",
       'L',
       "curvad5,  400,  150",
       "curvad5,  200,  150",
       {"route-order"},
       ""},
      {"a speed profile off 0",
       'T',
       "velocita,       0,    60",
       "velocita,     100,    60",
       {"profile-start"},
       "must start at 0"},
      {"an adhesion profile off 0",
       'T',
       "aderenza,   0,    100",
       "aderenza,   50,    100",
       {"profile-start"},
       ""},
      {"a signal beyond the route",
       'T',
       "segnale,   27650,   2, 2, 3,  0, 0,    2,  2,1,0, 0",
       "segnale,   32000,   2, 2, 3,  0, 0,    2,  2,1,0, 0",
       {"beyond-route"},
       "beyond the route's end at 31000 m"},
      {"a board beyond the route",
       'L',
       "cartello_indicatore,  27850,   (P.L.      )(Km 153+284)",
       "cartello_indicatore,  31500,   (F)",
       {"beyond-route"},
       ""},
      {"a signal on a station's cell",
       'T',
       "segnale,    4400,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
       "segnale,    6700,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
       {"error 16"},
       "",
       "stazione,    6600, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, SAN CATALDO"},
      {"a wrapped gradient",
       'L',
       "pendenza,  150,   3",
       "pendenza,  150,   -120",
       {"wrapped-value"},
       "kept as 136"},
      {"UTF-8 text",
       'L',
       "cartello_indicatore,  3250,   (Sottovia)",
       "cartello_indicatore,  3250,   (Sottovia \xC3\xA8)",
       {"encoding"},
       "UTF-8"},
      {"a board's text taken from the next line",
       'L',
       "cartello_indicatore,  3250,   (Sottovia)",
       "cartello_indicatore,  3250",
       {"missing-field"},
       "the reader takes field 2 (testo) from the next line"},
      {"a value out of its range",
       'T',
       "segnale,    4400,   1, 4, 1,  0, 0,    0,  0,0,0, 0",
       "segnale,    4400,   7, 4, 1,  0, 0,    0,  0,0,0, 0",
       {"out-of-range"},
       "segnale: field 2 (sx) holds 7: keep it in 0..2"},
      {"an arrival earlier than the departure",
       'T',
       "stazione,   28750, 11,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,  11, 3, 0, TOLVARRE",
       "stazione,   28750, 11,  600,  1, 0, 0,  1,1,0,  2,1,1,    0,  10, 3, 0, TOLVARRE",
       {"time-order"},
       "earlier than the previous station's"},
      {"a montagna that ends before it starts",
       'L',
       "montagna,   8000,  8300,  11",
       "montagna,   8000,  7900,  11",
       {"reversed-extent"},
       ""},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.errore);
    const Righe righe = c.file == 'L' ? righe_linea() : righe_treno();
    const int riga = riga_di(righe, c.vecchia);
    const std::vector<Visto> visti = compila_modificati(c.file, riga, c.nuova);
    std::string tutti;
    for (const Visto& v : visti) {
      tutti += v.file + ":" + std::to_string(v.riga) + " " + v.nome + ": " + v.messaggio + "\n";
    }
    const auto visto = [&](int r, const std::string& nome, const char* testo) {
      for (const Visto& v : visti) {
        if (v.file == std::string(1, c.file) && v.riga == r && v.nome == nome &&
            v.messaggio.find(testo) != std::string::npos) {
          return true;
        }
      }
      return false;
    };
    for (const std::string& nome : c.attesi) {
      EXPECT_TRUE(visto(riga, nome, c.nel_messaggio)) << "line " << riga << " " << nome << "\n"
                                                      << tutti;
    }
    if (c.nota != nullptr) {
      EXPECT_TRUE(visto(riga_di(righe, c.nota), "note", "")) << tutti;
    }
  }
}

TEST(ControlliAutoreTest, AStationThatOverwritesAnEarlierSignalNamesBothLines) {
  // Section headers mean nothing to the reader: a signal written in place of
  // "[vel_limite]" is read before the stations, and San Cataldo's cell 135
  // then takes the signal's place without a refusal.
  const Righe s = righe_treno();
  const int segnale = riga_di(s, "[vel_limite]");
  const int stazione = riga_di(
      s, "stazione,    6600, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, SAN CATALDO");
  const std::vector<Visto> visti =
      compila_modificati('T', segnale, "segnale,    6700,   1, 4, 1,  0, 0,    0,  0,0,0, 0");
  ASSERT_EQ(visti.size(), 2u);
  EXPECT_EQ(visti[0].riga, stazione);
  EXPECT_EQ(visti[0].nome, "overwritten");
  EXPECT_NE(visti[0].messaggio.find("cell 135 is already held by the segnale at line " +
                                    std::to_string(segnale)),
            std::string::npos)
      << visti[0].messaggio;
  EXPECT_EQ(visti[1].riga, segnale);
  EXPECT_EQ(visti[1].nome, "note");
}

TEST(ControlliAutoreTest, EveryProblemIsReportedAtOnceUpToMaxErrors) {
  // Two malformed numbers in the route source and one in the service source:
  // the reader records the first and stops; the check reports the others, in
  // source order, each at its field.
  CartellaTemporanea t;
  const fs::path linea = t.percorso() / "Prova_linea.txt";
  const fs::path treno = t.percorso() / "Prova_823-.txt";
  const Righe l = righe_linea(), s = righe_treno();
  const int r1 = riga_di(l, "pendenza,  150,   3"), r2 = riga_di(l, "pendenza,  300,   -3");
  const int r3 = riga_di(s, "velocita,       0,    60");
  std::string testo = con_riga(l, r1, "pendenza,  150,   3.5");
  Righe rotta = l;
  rotta[r1 - 1] = "pendenza,  150,   3.5";
  rotta[r2 - 1] = "pendenza,  3x0,   -3";
  scrivi_file_atomico(linea, testo_righe(rotta));
  scrivi_file_atomico(treno, con_riga(s, r3, "velocita,     100,    6o"));
  const auto compila = [&](std::vector<std::string> piu) {
    std::vector<std::string> a = {"compile", linea.string(), treno.string(), "-o",
                                  (t.percorso() / "out").string()};
    a.insert(a.end(), piu.begin(), piu.end());
    return esegui_prova(a);
  };
  const EsitoStrumento e = compila({});
  EXPECT_EQ(e.stato, 3);
  const size_t primo = e.err.find(":" + std::to_string(r1) +
                                  ":19: error 25: pendenza: field 2 (pendenza) holds \"3.5\"");
  const size_t secondo = e.err.find(":" + std::to_string(r2) +
                                    ":12: error: pendenza: field 1 (posizione) holds \"3x0\"");
  const size_t terzo = e.err.find(":" + std::to_string(r3) +
                                  ":23: error: velocita: field 2 (velocita) holds \"6o\"");
  EXPECT_NE(primo, std::string::npos) << e.err;
  EXPECT_NE(secondo, std::string::npos) << e.err;
  EXPECT_NE(terzo, std::string::npos) << e.err;
  EXPECT_LT(primo, secondo);
  EXPECT_LT(secondo, terzo);

  const EsitoStrumento uno = compila({"--max-errors", "1"});
  EXPECT_NE(uno.err.find(":" + std::to_string(r2) + ":12: error"), std::string::npos) << uno.err;
  EXPECT_EQ(uno.err.find("6o"), std::string::npos) << uno.err;
  EXPECT_NE(uno.err.find("note: 2 more problems not shown (--max-errors 1)"), std::string::npos)
      << uno.err;
  EXPECT_EQ(compila({"--max-errors", "x"}).stato, 2);
}

}  // namespace
}  // namespace scenario
