#include "platform/finestra_win32.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "platform/finestre_prova_test.h"
#endif

namespace scenario {
namespace {

TEST(FinestraWin32Test, TwipsAndPointsBecomePixelsForTheScreensDpi) {
  struct Caso {
    int dpi;
    int cliente_l, cliente_a, sinistra, larghezza, altezza, carattere;
  } casi[] = {
      // 15 twips to a pixel at 96 dpi; fractions round to the nearest pixel.
      {96, 280, 179, 64, 177, 53, 32},
      {120, 350, 224, 80, 221, 66, 40},
      {144, 420, 269, 96, 265, 79, 48},
      {192, 560, 358, 128, 354, 106, 64},
  };
  using M = MisureForm1;
  for (const auto& c : casi) {
    EXPECT_EQ(twip_in_pixel(M::kLarghezzaCliente, c.dpi), c.cliente_l) << c.dpi;
    EXPECT_EQ(twip_in_pixel(M::kAltezzaCliente, c.dpi), c.cliente_a) << c.dpi;
    EXPECT_EQ(twip_in_pixel(M::kSinistraEtichetta, c.dpi), c.sinistra) << c.dpi;
    EXPECT_EQ(twip_in_pixel(M::kLarghezzaEtichetta, c.dpi), c.larghezza) << c.dpi;
    EXPECT_EQ(twip_in_pixel(M::kAltezzaEtichetta, c.dpi), c.altezza) << c.dpi;
    EXPECT_EQ(punti_in_pixel(M::kPuntiCarattere, c.dpi), c.carattere) << c.dpi;
  }
}

#ifdef _WIN32

struct DpiSchermo {
  int x, y;
};

DpiSchermo dpi_schermo() {
  SetProcessDPIAware();
  HDC dc = GetDC(nullptr);
  DpiSchermo d{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
  ReleaseDC(nullptr, dc);
  return d;
}

TEST(FinestraWin32Test, WaitingWindowIsLaidOutInTwipsAndPaintedBeforeItReturns) {
  const DpiSchermo dpi = dpi_schermo();
  using M = MisureForm1;
  FinestraWin32 finestra;
  finestra.mostra_attesa("Attendere");
  HWND form = finestra.form();
  ASSERT_NE(form, nullptr) << "no window system: run the tests under a display";

  EXPECT_TRUE(IsWindowVisible(form));
  EXPECT_EQ(GetWindow(form, GW_OWNER), nullptr) << "modeless, with no owner";
  RECT cliente{};
  GetClientRect(form, &cliente);
  EXPECT_EQ(cliente.right, twip_in_pixel(M::kLarghezzaCliente, dpi.x));
  EXPECT_EQ(cliente.bottom, twip_in_pixel(M::kAltezzaCliente, dpi.y));

  HWND label = finestra.etichetta();
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(GetDlgItem(form, kIdLabel1), label);
  EXPECT_EQ(testo_finestra(label), "Attendere");
  RECT r{};
  GetWindowRect(label, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, twip_in_pixel(M::kSinistraEtichetta, dpi.x));
  EXPECT_EQ(r.top, twip_in_pixel(M::kAltoEtichetta, dpi.y));
  EXPECT_EQ(r.right - r.left, twip_in_pixel(M::kLarghezzaEtichetta, dpi.x));
  EXPECT_EQ(r.bottom - r.top, twip_in_pixel(M::kAltezzaEtichetta, dpi.y));

  // The font asked for, and the one the window system made of it.
  HFONT carattere = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
  ASSERT_NE(carattere, nullptr);
  LOGFONTW lf{};
  ASSERT_EQ(GetObjectW(carattere, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(std::wstring(lf.lfFaceName), kCarattereEtichetta);
  EXPECT_EQ(lf.lfHeight, -punti_in_pixel(M::kPuntiCarattere, dpi.y));
  EXPECT_EQ(lf.lfWeight, M::kPesoCarattere);
  EXPECT_EQ(lf.lfCharSet, M::kSetCaratteri);
  EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);
  HDC dc = GetDC(label);
  HGDIOBJ prima = SelectObject(dc, carattere);
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(dc, &tm));
  SelectObject(dc, prima);
  ReleaseDC(label, dc);
  // The rasteriser may round the em height of the font it realised by a pixel.
  EXPECT_NEAR(tm.tmHeight - tm.tmInternalLeading, punti_in_pixel(M::kPuntiCarattere, dpi.y), 1);
  EXPECT_EQ(tm.tmWeight, M::kPesoCarattere);
  EXPECT_EQ(tm.tmCharSet, M::kSetCaratteri);

  // Painted before mostra_attesa returned: nothing is left to paint.
  EXPECT_FALSE(GetUpdateRect(form, nullptr, FALSE));
  EXPECT_FALSE(GetUpdateRect(label, nullptr, FALSE));
  pausa_per_schermata();
}

TEST(FinestraWin32Test, MessagesKeepCharactersOutsideTheCodePage) {
  FinestraWin32 finestra;  // no waiting window: the box has no owner
  RispostaMessaggio risposta;
  finestra.messaggio("cannot write C:\\Scenari \u00e8\u00fc \u03b1\u0436\\x.txt");
  risposta.attendi();
  ASSERT_TRUE(risposta.trovata());
  EXPECT_EQ(risposta.vista().testo, "cannot write C:\\Scenari \u00e8\u00fc \u03b1\u0436\\x.txt");
  EXPECT_EQ(risposta.vista().proprietario, nullptr);
}

#endif

}  // namespace
}  // namespace scenario
