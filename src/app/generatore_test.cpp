// The generator as a user starts it: an executable in a folder of its own,
// started from somewhere else.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "output/prova_uscita_test.h"
#include "platform/file_atomico.h"
#include "prove/cartella_temporanea_test.h"
#include "text/lettore_json.h"
#include "prove/processo_prova_test.h"

#ifdef _WIN32
#include "platform/finestra_win32.h"
#include "platform/finestre_prova_test.h"
#endif

namespace scenario {
namespace {
namespace fs = std::filesystem;

const fs::path kGeneratore = eseguibile_di_prova(GENERATORE_ESEGUIBILE);
const std::string kNomeGeneratore = kGeneratore.filename().string();

const std::vector<std::string> kFileDiUnaCorsa = {"MorvessaC_Tolvarre_823.dat",
                                                  "MorvessaC_Tolvarre_823.sim",
                                                  "MorvessaC_Tolvarre_823_note.txt",
                                                  "MorvessaC_Tolvarre_823_rallentamenti.txt",
                                                  "MorvessaC_Tolvarre_823_scheda_treno.txt",
                                                  "MorvessaC_Tolvarre_linea.dat",
                                                  kNomeGeneratore};

#ifdef _WIN32
// A run that goes well shows its waiting window and no message.
const std::string kDettoDaUnaCorsaRiuscita = "";
#else
// The console stands in for the window: the label goes to standard error.
const std::string kDettoDaUnaCorsaRiuscita = "Attendere\n";
#endif

// Copies the built generator into `cartella` and starts it from `da`. What it
// said to the user comes back in `detto`: standard error, then the text of
// every message box (each with a line end).
int avvia(const fs::path& cartella, const fs::path& da, std::string* detto = nullptr) {
  fs::copy_file(kGeneratore, cartella / kNomeGeneratore, fs::copy_options::overwrite_existing);
  const EsitoProcesso e = avvia_processo(cartella / kNomeGeneratore, {}, da);
  if (detto != nullptr) {
    *detto = e.err;
    for (const std::string& m : e.messaggi) *detto += m + "\n";
  }
  return e.stato;
}

TEST(GeneratoreTest, WritesEveryFileBesideItselfAndNothingWhereItWasStarted) {
  CartellaTemporanea programma, altrove;
  std::string errori;
  EXPECT_EQ(avvia(programma.percorso(), altrove.percorso(), &errori), 0);
  EXPECT_EQ(errori, kDettoDaUnaCorsaRiuscita);
  EXPECT_EQ(programma.nomi(), kFileDiUnaCorsa);  // the two sources were read back and deleted
  EXPECT_TRUE(altrove.nomi().empty());
  EXPECT_EQ(fs::file_size(programma.percorso() / "MorvessaC_Tolvarre_823.dat"), 11415u);
  EXPECT_EQ(fs::file_size(programma.percorso() / "MorvessaC_Tolvarre_linea.dat"), 759964u);
}

// The generator's own scenario compiles to the bytes recorded beside the
// repository: every bit of the three compiled files is held.
TEST(GeneratoreTest, TheCompiledFilesAreTheRecordedOnes) {
  const fs::path registrati = fs::path(CARTELLA_GOLDEN) / "carried.json";
  ASSERT_TRUE(fs::exists(registrati))
      << registrati.string() << " is missing: the golden folder lies beside the repository";
  const ValoreJson file = leggi_json(leggi_file(registrati))["files"];
  ASSERT_EQ(file.oggetto.size(), 3u);
  CartellaTemporanea programma;
  ASSERT_EQ(avvia(programma.percorso(), programma.percorso()), 0);
  for (const auto& [nome, atteso] : file.oggetto) {
    EXPECT_TRUE(come_registrato(
        nome, leggi_file(programma.percorso() / nome), static_cast<uint64_t>(atteso["size"].intero),
        atteso["sha256"].stringa, fs::path(CARTELLA_PRODOTTI) / "generatore"));
  }
}

TEST(GeneratoreTest, ASecondRunLeavesTheSameBytes) {
  CartellaTemporanea programma;
  ASSERT_EQ(avvia(programma.percorso(), programma.percorso()), 0);
  std::vector<std::string> prima;
  for (const auto& n : kFileDiUnaCorsa) prima.push_back(leggi_file(programma.percorso() / n));
  // Longer earlier files must not leave a tail behind.
  for (const auto& n : kFileDiUnaCorsa) {
    if (n == kNomeGeneratore) continue;
    std::string lungo = leggi_file(programma.percorso() / n) + std::string(5000, 'x');
    scrivi_file_atomico(programma.percorso() / n, lungo);
  }
  ASSERT_EQ(avvia(programma.percorso(), programma.percorso()), 0);
  for (size_t i = 0; i < kFileDiUnaCorsa.size(); ++i) {
    EXPECT_EQ(leggi_file(programma.percorso() / kFileDiUnaCorsa[i]), prima[i])
        << kFileDiUnaCorsa[i];
  }
}

TEST(GeneratoreTest, AFileThatCannotBeWrittenEndsTheRunWithItsNameAndKeepsEarlierFiles) {
  CartellaTemporanea programma;
  // The card of an earlier run is there; the notes' name is taken by a folder.
  scrivi_file_atomico(programma.percorso() / "MorvessaC_Tolvarre_823_scheda_treno.txt", "old");
  fs::create_directory(programma.percorso() / "MorvessaC_Tolvarre_823_note.txt");
  std::string errori;
  EXPECT_EQ(avvia(programma.percorso(), programma.percorso(), &errori), 1);
  EXPECT_NE(errori.find("MorvessaC_Tolvarre_823_note.txt"), std::string::npos) << errori;
  EXPECT_NE(errori.find("directory"), std::string::npos) << errori;
  EXPECT_EQ(leggi_file(programma.percorso() / "MorvessaC_Tolvarre_823_scheda_treno.txt"), "old");
  // The writers before the failing one ran; nothing after it did.
  EXPECT_TRUE(fs::exists(programma.percorso() / "MorvessaC_Tolvarre_823-.txt"));
  EXPECT_FALSE(fs::exists(programma.percorso() / "MorvessaC_Tolvarre_823.dat"));
}

TEST(GeneratoreTest, AFolderWithCharactersOutsideTheCodePageGetsTheSameFiles) {
  CartellaTemporanea radice;
  const fs::path semplice = radice.percorso() / "semplice";
  // Latin letters with accents, Greek and Cyrillic: on Windows only the
  // wide-character API reaches such a folder.
  const fs::path speciale = radice.percorso() / fs::path(u8"Scenari \u00e8\u00fc \u03b1\u0436");
  fs::create_directories(semplice);
  fs::create_directories(speciale);
  ASSERT_EQ(avvia(semplice, semplice), 0);
  ASSERT_EQ(avvia(speciale, speciale), 0);
  for (const auto& n : kFileDiUnaCorsa) {
    ASSERT_TRUE(fs::exists(speciale / n)) << n;
    EXPECT_EQ(leggi_file(speciale / n), leggi_file(semplice / n)) << n;
  }
}

#ifdef _WIN32

// The generator's own window, found while its failure box holds the run:
// Form1 with its size and label, disabled under the application-modal box.
TEST(GeneratoreTest, OnWindowsTheFailureBoxStandsOverTheWaitingWindow) {
  CartellaTemporanea programma;
  fs::create_directory(programma.percorso() / "MorvessaC_Tolvarre_823_note.txt");
  fs::copy_file(kGeneratore, programma.percorso() / kNomeGeneratore);
  SetProcessDPIAware();  // measure in the same pixels as the generator
  HDC schermo = GetDC(nullptr);
  const int dpi_x = GetDeviceCaps(schermo, LOGPIXELSX), dpi_y = GetDeviceCaps(schermo, LOGPIXELSY);
  ReleaseDC(nullptr, schermo);

  int osservati = 0;
  const EsitoProcesso e = avvia_processo(
      programma.percorso() / kNomeGeneratore, {}, programma.percorso(), [&](DWORD pid, HWND box) {
        ++osservati;
        const auto form = finestre_del_processo(pid, kClasseForm1);
        ASSERT_EQ(form.size(), 1u);
        RECT cliente{};
        GetClientRect(form[0], &cliente);
        EXPECT_EQ(cliente.right, twip_in_pixel(MisureForm1::kLarghezzaCliente, dpi_x));
        EXPECT_EQ(cliente.bottom, twip_in_pixel(MisureForm1::kAltezzaCliente, dpi_y));
        EXPECT_EQ(testo_finestra(form[0]), wide_a_utf8(kTitoloApplicazione));
        HWND label = GetDlgItem(form[0], kIdLabel1);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(testo_finestra(label), "Attendere");
        RECT r{};
        GetWindowRect(label, &r);
        MapWindowPoints(nullptr, form[0], reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, twip_in_pixel(MisureForm1::kSinistraEtichetta, dpi_x));
        EXPECT_EQ(r.top, twip_in_pixel(MisureForm1::kAltoEtichetta, dpi_y));
        EXPECT_EQ(r.right - r.left, twip_in_pixel(MisureForm1::kLarghezzaEtichetta, dpi_x));
        EXPECT_EQ(r.bottom - r.top, twip_in_pixel(MisureForm1::kAltezzaEtichetta, dpi_y));

        const VistaMessaggio v = leggi_messaggio(box);
        EXPECT_EQ(v.proprietario, form[0]);
        EXPECT_FALSE(IsWindowEnabled(form[0])) << "the box is application-modal";
        EXPECT_EQ(v.titolo, wide_a_utf8(kTitoloApplicazione));
        EXPECT_EQ(v.pulsanti, std::vector<std::string>{"OK"});
        EXPECT_EQ(v.pulsante_predefinito, IDOK);
        EXPECT_FALSE(v.icona);
        pausa_per_schermata();
      });
  EXPECT_EQ(osservati, 1);
  EXPECT_EQ(e.stato, 1);
  ASSERT_EQ(e.messaggi.size(), 1u);
  EXPECT_NE(e.messaggi[0].find("MorvessaC_Tolvarre_823_note.txt"), std::string::npos)
      << e.messaggi[0];
  EXPECT_EQ(e.err, "");
}

#endif

}  // namespace
}  // namespace scenario
