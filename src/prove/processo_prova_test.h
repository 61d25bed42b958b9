#pragma once
// Test support: starts a built program as a user would, in a folder of the
// test's choosing, with no input, and collects its exit status and output.
// On Windows it also answers every message box the program shows (pressing
// Return) and keeps the boxes' texts, in order.

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/file_atomico.h"

#ifdef _WIN32
#include <windows.h>

#include <chrono>
#include <set>
#include <thread>

#include "platform/cartella_programma.h"
#include "platform/finestre_prova_test.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace scenario {

struct EsitoProcesso {
  int stato = -1;  // -1: it did not end by itself
  std::string out;
  std::string err;
  std::vector<std::string> messaggi;  // the texts of the boxes it showed (Windows)
};

#ifdef _WIN32
// Called with the process id and the box while a box of the program stands,
// before it is answered.
using OsservaMessaggio = std::function<void(DWORD pid, HWND box)>;
#endif

// A built program of this project: on Windows it lies beside the test
// executable (the build folder), whatever path the build system saw.
inline std::filesystem::path eseguibile_di_prova(const char* percorso_di_build) {
#ifdef _WIN32
  return cartella_programma() / std::filesystem::path(percorso_di_build).filename();
#else
  return percorso_di_build;
#endif
}

namespace processo_dettaglio {

inline std::filesystem::path file_uscita(const char* tipo) {
  std::random_device rd;
  return std::filesystem::temp_directory_path() /
         ("scenario-" + std::string(tipo) + "-" + std::to_string(rd()) + std::to_string(rd()));
}

#ifdef _WIN32
// One argument for CreateProcess's command line, quoted as the C run-time
// splits it again.
inline std::wstring tra_virgolette(const std::wstring& a) {
  std::wstring q = L"\"";
  size_t barre = 0;
  for (wchar_t c : a) {
    if (c == L'\\') {
      ++barre;
      continue;
    }
    q.append(c == L'"' ? 2 * barre + 1 : barre, L'\\');
    barre = 0;
    q += c;
  }
  q.append(2 * barre, L'\\');
  return q + L"\"";
}

inline std::string senza_cr(std::string s) {
  std::string t;
  for (size_t i = 0; i < s.size(); ++i) {
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) t += s[i];
  }
  return t;
}

inline HANDLE apri_ereditabile(const std::wstring& nome, DWORD accesso, DWORD creazione) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(nome.c_str(), accesso, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, creazione,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

}  // namespace processo_dettaglio

#ifdef _WIN32

inline EsitoProcesso avvia_processo(const std::filesystem::path& eseguibile,
                                    const std::vector<std::string>& argomenti,
                                    const std::filesystem::path& cartella,
                                    const OsservaMessaggio& osserva = {}) {
  namespace d = processo_dettaglio;
  const std::filesystem::path out = d::file_uscita("out"), err = d::file_uscita("err");
  std::wstring riga = d::tra_virgolette(eseguibile.wstring());
  for (const std::string& a : argomenti) riga += L" " + d::tra_virgolette(utf8_a_wide(a));

  HANDLE in = d::apri_ereditabile(L"NUL", GENERIC_READ, OPEN_EXISTING);
  HANDLE h_out = d::apri_ereditabile(out.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
  HANDLE h_err = d::apri_ereditabile(err.wstring(), GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = h_out;
  si.hStdError = h_err;
  PROCESS_INFORMATION pi{};
  const BOOL partito = CreateProcessW(eseguibile.c_str(), riga.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, cartella.c_str(), &si, &pi);
  const DWORD errore_avvio = partito ? 0 : GetLastError();
  CloseHandle(in);
  CloseHandle(h_out);
  CloseHandle(h_err);

  EsitoProcesso e;
  if (partito) {
    std::set<HWND> risposti;
    bool fermato = false;
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (WaitForSingleObject(pi.hProcess, 20) == WAIT_TIMEOUT) {
      if (std::chrono::steady_clock::now() > limite) {
        TerminateProcess(pi.hProcess, 255);  // our own child, hung: the test fails on -1
        WaitForSingleObject(pi.hProcess, INFINITE);
        fermato = true;
        break;
      }
      for (HWND box : finestre_del_processo(pi.dwProcessId, L"#32770")) {
        if (!risposti.insert(box).second) continue;
        e.messaggi.push_back(leggi_messaggio(box).testo);
        if (osserva) osserva(pi.dwProcessId, box);
        premi_invio(box);
      }
    }
    DWORD codice = 0;
    if (!fermato && GetExitCodeProcess(pi.hProcess, &codice)) {
      e.stato = static_cast<int>(codice);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  } else {
    e.messaggi.push_back("cannot start " + wide_a_utf8(eseguibile.wstring()) + ": " +
                         std::system_category().message(static_cast<int>(errore_avvio)));
  }
  // Standard output and error are text: Windows ends their lines with CR LF.
  e.out = d::senza_cr(leggi_file(out));
  e.err = d::senza_cr(leggi_file(err));
  std::error_code ignorato;  // a helper process of the system may still hold them
  std::filesystem::remove(out, ignorato);
  std::filesystem::remove(err, ignorato);
  return e;
}

#else

inline EsitoProcesso avvia_processo(const std::filesystem::path& eseguibile,
                                    const std::vector<std::string>& argomenti,
                                    const std::filesystem::path& cartella) {
  namespace d = processo_dettaglio;
  const std::filesystem::path out = d::file_uscita("out"), err = d::file_uscita("err");
  std::vector<std::string> parole = {eseguibile.string()};
  parole.insert(parole.end(), argomenti.begin(), argomenti.end());
  std::vector<char*> argv;
  for (std::string& p : parole) argv.push_back(p.data());
  argv.push_back(nullptr);

  EsitoProcesso e;
  const pid_t figlio = fork();
  if (figlio == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int r = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || o < 0 || r < 0 || dup2(in, 0) < 0 || dup2(o, 1) < 0 || dup2(r, 2) < 0 ||
        chdir(cartella.c_str()) != 0) {
      _exit(127);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  int stato = 0;
  if (figlio > 0 && waitpid(figlio, &stato, 0) == figlio && WIFEXITED(stato)) {
    e.stato = WEXITSTATUS(stato);
  }
  std::error_code ignorato;
  if (std::filesystem::exists(out, ignorato)) e.out = leggi_file(out);
  if (std::filesystem::exists(err, ignorato)) e.err = leggi_file(err);
  std::filesystem::remove(out, ignorato);
  std::filesystem::remove(err, ignorato);
  return e;
}

#endif

}  // namespace scenario
