#include "platform/finestra_win32.h"

#include <cstdint>
#include <cstdio>

namespace scenario {

int twip_in_pixel(int twip, int dpi) {
  const int64_t prodotto = static_cast<int64_t>(twip) * dpi;
  return static_cast<int>((prodotto + (prodotto < 0 ? -720 : 720)) / 1440);
}

int punti_in_pixel(int punti, int dpi) {
  return twip_in_pixel(punti * 20, dpi);
}

#ifdef _WIN32

namespace {

LRESULT CALLBACK procedura_form1(HWND finestra, UINT messaggio, WPARAM w, LPARAM l) {
  return DefWindowProcW(finestra, messaggio, w, l);
}

bool registra_form1() {
  static const bool registrata = [] {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = procedura_form1;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    c.hCursor = LoadCursorW(nullptr, IDC_WAIT);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = kClasseForm1;
    return RegisterClassExW(&c) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registrata;
}

// Dots per inch of the screen along one axis (LOGPIXELSX or LOGPIXELSY).
int dpi_schermo(int asse) {
  HDC dc = GetDC(nullptr);
  if (dc == nullptr) return 96;
  const int dpi = GetDeviceCaps(dc, asse);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

void su_standard_error(std::string_view testo) {
  std::fwrite(testo.data(), 1, testo.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace

std::wstring utf8_a_wide(std::string_view testo) {
  if (testo.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), w.data(), n);
  return w;
}

std::string wide_a_utf8(std::wstring_view testo) {
  if (testo.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, testo.data(), static_cast<int>(testo.size()), s.data(), n,
                      nullptr, nullptr);
  return s;
}

FinestraWin32::FinestraWin32() = default;

FinestraWin32::~FinestraWin32() {
  if (form_ != nullptr) DestroyWindow(form_);
  if (carattere_ != nullptr) DeleteObject(carattere_);
}

void FinestraWin32::mostra_attesa(std::string_view etichetta) {
  const std::wstring testo = utf8_a_wide(etichetta);
  if (form_ == nullptr) {
    // The layout is in twips: the pixels follow the screen's real DPI, not
    // the 96 that Windows reports to programs that do not ask for it.
    SetProcessDPIAware();
    if (!registra_form1()) {
      su_standard_error(etichetta);
      return;
    }
    const int dpi_x = dpi_schermo(LOGPIXELSX);
    const int dpi_y = dpi_schermo(LOGPIXELSY);
    using M = MisureForm1;
    const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r{0, 0, twip_in_pixel(M::kLarghezzaCliente, dpi_x),
           twip_in_pixel(M::kAltezzaCliente, dpi_y)};
    AdjustWindowRectEx(&r, stile, FALSE, 0);
    HINSTANCE istanza = GetModuleHandleW(nullptr);
    form_ =
        CreateWindowExW(0, kClasseForm1, kTitoloApplicazione, stile, CW_USEDEFAULT, CW_USEDEFAULT,
                        r.right - r.left, r.bottom - r.top, nullptr, nullptr, istanza, nullptr);
    if (form_ == nullptr) {
      su_standard_error(etichetta);  // no window system: the console stands in
      return;
    }
    etichetta_ = CreateWindowExW(
        0, L"STATIC", testo.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
        twip_in_pixel(M::kSinistraEtichetta, dpi_x), twip_in_pixel(M::kAltoEtichetta, dpi_y),
        twip_in_pixel(M::kLarghezzaEtichetta, dpi_x), twip_in_pixel(M::kAltezzaEtichetta, dpi_y),
        form_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdLabel1)), istanza, nullptr);
    carattere_ =
        CreateFontW(-punti_in_pixel(M::kPuntiCarattere, dpi_y), 0, 0, 0, M::kPesoCarattere, FALSE,
                    FALSE, FALSE, M::kSetCaratteri, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kCarattereEtichetta);
    if (etichetta_ != nullptr && carattere_ != nullptr) {
      SendMessageW(etichetta_, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_), FALSE);
    }
    ShowWindow(form_, SW_SHOWDEFAULT);
  } else if (etichetta_ != nullptr) {
    SetWindowTextW(etichetta_, testo.c_str());
  }
  // What showing the window queued (activation, the window system's own
  // notices) is handled now; then the window and its label are painted at
  // once. No message is handled after this until the run ends.
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  RedrawWindow(form_, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
}

void FinestraWin32::messaggio(std::string_view testo) {
  const std::wstring w = utf8_a_wide(testo);
  // Owned by Form1 when it is there, so the window stays disabled under the
  // box; no caption of its own: the application's title.
  const int esito = MessageBoxW(form_, w.c_str(), kTitoloApplicazione,
                                MB_OK | MB_APPLMODAL | MB_DEFBUTTON1 | MB_SETFOREGROUND);
  if (esito == 0) su_standard_error(testo);  // no box could be shown
}

#endif

}  // namespace scenario
