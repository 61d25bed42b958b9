#include "model/codici_errore.h"

#include "model/diagnostica.h"

namespace scenario {

std::string descrizione_errore(int32_t codice) {
  switch (codice) {
    case 1:
      return "the route is longer than 1000000 m";
    case 2:
      return "a chainage reference has a position or value that is not a multiple of 50";
    case 3:
      return "the first position of the signal repetition is not a multiple of 50";
    case 4:
      return "the second position of the signal repetition is not a multiple of 50";
    case 5:
      return "the signal repetition keyword names neither code system 4 nor 9";
    case 6:
      return "a text board stands on a cell that already holds a feature";
    case 7:
      return "an abbattimento stands on a cell that already holds a feature";
    case 8:
      return "a station position is not a multiple of 50";
    case 9:
      return "a station length is not a multiple of 100";
    case 10:
      return "too many stations and text boards: they share items 1 to 80";
    case 11:
      return "no room for a code cell in front of a signal before a slowdown warning";
    case 12:
      return "no room for an approach code cell before a slowdown start";
    case 13:
      return "no room for a code cell along a slowdown or in front of the signal after it";
    case 15:
      return "a feature lies beyond the end of the route";
    case 16:
      return "a signal stands on a cell that already holds a feature";
    case 17:
      return "a slowdown's warning point falls on a cell that already holds a feature";
    case 18:
      return "a slowdown's start falls on a cell that already holds a feature";
    case 19:
      return "a slowdown's end falls on a cell that already holds a feature";
    case 20:
      return "a slowdown's pre-warning cells are already taken";
    case 21:
      return "speed indicator boards stand on a cell that already holds a feature";
    case 22:
      return "a station starts less than 350 m after the end of the previous one";
    case 24:
      return "a station ends too close to the start of the route";
    case 25:
      return "an entry is malformed, incomplete or outside the limits of the route model";
    case 101:
      return "the route source file is missing";
    case 102:
      return "the route source holds no [generale] section";
    case 103:
      return "a curve has no radius class 1 to 6, or the route plan passed 1000000 m";
    default:
      return "";
  }
}

std::string messaggio_errore(const ModelloPercorso& m) {
  // The same words as every diagnostic the tools print.
  return prima_riga_diagnostica(diagnostica_errore(m));
}

}  // namespace scenario
