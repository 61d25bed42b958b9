#pragma once
// Test support on Windows: finds the windows of a process and reads a message
// box through the API (text, caption, buttons, default button, icon), and
// answers it with Return as a user would.

#ifdef _WIN32

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/finestra_win32.h"

namespace scenario {

// The visible top-level windows of process `pid` whose class is `classe`.
inline std::vector<HWND> finestre_del_processo(DWORD pid, const wchar_t* classe) {
  struct Ricerca {
    DWORD pid;
    const wchar_t* classe;
    std::vector<HWND> trovate;
  } r{pid, classe, {}};
  EnumWindows(
      [](HWND w, LPARAM l) -> BOOL {
        auto& r = *reinterpret_cast<Ricerca*>(l);
        DWORD p = 0;
        GetWindowThreadProcessId(w, &p);
        wchar_t c[64] = {};
        GetClassNameW(w, c, 64);
        if (p == r.pid && IsWindowVisible(w) && std::wstring(c) == r.classe) r.trovate.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&r));
  return r.trovate;
}

inline std::string testo_finestra(HWND w) {
  wchar_t t[4096] = {};
  GetWindowTextW(w, t, 4096);
  return wide_a_utf8(t);
}

// What a message box shows, read through the API.
struct VistaMessaggio {
  std::string titolo;
  std::string testo;
  std::vector<std::string> pulsanti;  // visible buttons, in order
  std::vector<int> id_pulsanti;
  int pulsante_predefinito = 0;  // 0 when none
  bool icona = false;            // a visible icon beside the text
  HWND proprietario = nullptr;
};

inline VistaMessaggio leggi_messaggio(HWND box) {
  VistaMessaggio v;
  v.titolo = testo_finestra(box);
  wchar_t t[4096] = {};
  GetDlgItemTextW(box, 0xFFFF, t, 4096);  // the text control of a message box
  v.testo = wide_a_utf8(t);
  v.proprietario = GetWindow(box, GW_OWNER);
  for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    wchar_t classe[64] = {};
    GetClassNameW(c, classe, 64);
    const LONG_PTR stile = GetWindowLongPtrW(c, GWL_STYLE);
    if (lstrcmpiW(classe, L"Button") == 0) {
      v.pulsanti.push_back(testo_finestra(c));
      v.id_pulsanti.push_back(GetDlgCtrlID(c));
    } else if (lstrcmpiW(classe, L"Static") == 0 && (stile & SS_TYPEMASK) == SS_ICON &&
               SendMessageW(c, STM_GETICON, 0, 0) != 0) {
      v.icona = true;  // an icon control that holds an icon
    }
  }
  const DWORD predefinito = static_cast<DWORD>(SendMessageW(box, DM_GETDEFID, 0, 0));
  if (HIWORD(predefinito) == DC_HASDEFID) v.pulsante_predefinito = LOWORD(predefinito);
  return v;
}

// Presses Return in the box: its default button answers.
inline void premi_invio(HWND box) {
  PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(box, WM_KEYUP, VK_RETURN, 0xC0000001);
}

// Waits up to `attesa` for a visible window of class `classe` in process
// `pid`; nullptr when none came.
inline HWND attendi_finestra(DWORD pid, const wchar_t* classe, std::chrono::milliseconds attesa) {
  const auto fine = std::chrono::steady_clock::now() + attesa;
  do {
    const auto trovate = finestre_del_processo(pid, classe);
    if (!trovate.empty()) return trovate.front();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < fine);
  return nullptr;
}

// When GENERATORE_PAUSA_SCHERMATA_MS is set, a test holds what it shows for
// that long, handling its window's messages, so that a person (or the CI
// script) can take a screenshot of it.
inline void pausa_per_schermata() {
  const char* v = std::getenv("GENERATORE_PAUSA_SCHERMATA_MS");
  if (v == nullptr) return;
  const auto fine = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(v));
  while (std::chrono::steady_clock::now() < fine) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// Answers the first message box of this process from another thread, once
// it has been read; what it saw stays in `vista`.
class RispostaMessaggio {
 public:
  RispostaMessaggio()
      : filo_([this] {
          HWND box = attendi_finestra(GetCurrentProcessId(), L"#32770", std::chrono::seconds(20));
          if (box == nullptr) return;
          vista_ = leggi_messaggio(box);
          modulo_disabilitato_ =
              vista_.proprietario != nullptr && !IsWindowEnabled(vista_.proprietario);
          trovata_ = true;
          pausa_per_schermata();
          premi_invio(box);
        }) {}
  ~RispostaMessaggio() {
    if (filo_.joinable()) filo_.join();
  }
  void attendi() { filo_.join(); }
  bool trovata() const { return trovata_; }
  const VistaMessaggio& vista() const { return vista_; }
  bool modulo_disabilitato() const { return modulo_disabilitato_; }

 private:
  VistaMessaggio vista_;
  std::atomic<bool> trovata_{false};
  bool modulo_disabilitato_ = false;
  std::thread filo_;
};

}  // namespace scenario

#endif
