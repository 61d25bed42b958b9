#pragma once
// The window layer on Windows: the waiting window Form1 with its label Label1,
// laid out in twips and converted to pixels for the screen's real DPI, and an
// application-modal message box with one OK button.

#include <string>
#include <string_view>

#include "platform/finestra.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace scenario {

// Layout of the waiting window, in twips (1/1440 inch).
struct MisureForm1 {
  static constexpr int kLarghezzaCliente = 4200;
  static constexpr int kAltezzaCliente = 2688;
  static constexpr int kSinistraEtichetta = 960;
  static constexpr int kAltoEtichetta = 960;
  static constexpr int kLarghezzaEtichetta = 2652;
  static constexpr int kAltezzaEtichetta = 792;
  static constexpr int kPuntiCarattere = 24;
  static constexpr int kPesoCarattere = 700;  // bold
  static constexpr int kSetCaratteri = 0;     // ANSI
};
inline constexpr const wchar_t* kCarattereEtichetta = L"MS Sans Serif";

// The title the user sees on the window and on the message box.
inline constexpr const wchar_t* kTitoloApplicazione = L"Generatore";
// Window class of Form1; the label's control id.
inline constexpr const wchar_t* kClasseForm1 = L"Form1";
inline constexpr int kIdLabel1 = 1;

// Twips to pixels at `dpi` dots per inch, rounded to the nearest pixel.
int twip_in_pixel(int twip, int dpi);
// Points to the character height in pixels at `dpi`.
int punti_in_pixel(int punti, int dpi);

#ifdef _WIN32

// UTF-8 text to the wide characters of the Windows API, and back.
std::wstring utf8_a_wide(std::string_view testo);
std::string wide_a_utf8(std::wstring_view testo);

class FinestraWin32 : public Finestra {
 public:
  FinestraWin32();
  ~FinestraWin32() override;
  FinestraWin32(const FinestraWin32&) = delete;
  FinestraWin32& operator=(const FinestraWin32&) = delete;

  // Creates Form1 and Label1, shows the window modelessly and paints it
  // before returning. Without a window system the run goes on unseen.
  void mostra_attesa(std::string_view etichetta) override;
  // An application-modal box over Form1; returns when it is closed. Where no
  // box can be shown, the text goes to standard error instead.
  void messaggio(std::string_view testo) override;

  HWND form() const { return form_; }
  HWND etichetta() const { return etichetta_; }

 private:
  HWND form_ = nullptr;
  HWND etichetta_ = nullptr;
  HFONT carattere_ = nullptr;
};

#endif

}  // namespace scenario
