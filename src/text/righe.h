#pragma once
// Line lists and the common write step of the five text files.

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

inline constexpr std::string_view kFineRighe = "riferimento fine del file";
inline constexpr int kVociRighe = 1001;

// A line list `righe`: 1001 entries, indices 0 to 1000, the lines from index 0
// on and the end marker right after the last one. Lines are UTF-8 text here;
// scrivi_righe writes them in Windows-1252.
class Righe {
 public:
  // An empty list: the end marker at index 0.
  Righe();
  // A list holding these lines, closed by the end marker.
  Righe(std::initializer_list<std::string_view> righe);
  static Righe da(const std::vector<std::string>& righe);

  std::string& operator[](int i);
  const std::string& operator[](int i) const;

 private:
  std::vector<std::string> voci_;
};

// The bytes of the file a list produces: every entry before the end marker,
// in Windows-1252, each followed by CR LF.
std::string testo_righe(const Righe& righe);

// scrivi_righe: replaces the file at `percorso` with the list's lines.
void scrivi_righe(const Righe& righe, const std::filesystem::path& percorso);

}  // namespace scenario
