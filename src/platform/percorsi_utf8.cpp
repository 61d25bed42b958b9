#include "platform/percorsi_utf8.h"

namespace scenario {

std::filesystem::path percorso_utf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8_di(const std::filesystem::path& percorso) {
  const std::u8string u = percorso.u8string();
  return std::string(u.begin(), u.end());
}

}  // namespace scenario
