#pragma once
// The window layer: the one small interface through which the generator talks
// to the window system. Where no window system is available the console stands
// in for it: the label text and every message go to standard error, one line each.

#include <iosfwd>
#include <string_view>

namespace scenario {

class Finestra {
 public:
  virtual ~Finestra() = default;
  // Shows the waiting window with its label and paints it at once.
  virtual void mostra_attesa(std::string_view etichetta) = 0;
  // Shows a message with one OK button and waits until it is closed.
  virtual void messaggio(std::string_view testo) = 0;
};

class FinestraConsole : public Finestra {
 public:
  explicit FinestraConsole(std::ostream& uscita);
  void mostra_attesa(std::string_view etichetta) override;
  void messaggio(std::string_view testo) override;

 private:
  std::ostream& uscita_;
};

}  // namespace scenario
