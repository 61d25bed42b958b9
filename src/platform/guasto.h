#pragma once
// A run-time failure: something the run cannot go on from (a file that cannot
// be written, a value that does not fit its member, an index outside its
// array). Inside memorizza_dati the common failure handler turns it into the
// recorded code 25; anywhere else it ends the run with exit status 1 and its
// message.

#include <stdexcept>
#include <string>

namespace scenario {

class GuastoEsecuzione : public std::runtime_error {
 public:
  explicit GuastoEsecuzione(const std::string& messaggio) : std::runtime_error(messaggio) {}
};

}  // namespace scenario
