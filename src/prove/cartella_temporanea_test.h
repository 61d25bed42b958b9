#pragma once
// Test support: a fresh folder under the system's temporary folder, removed
// with everything in it when the test ends.

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace scenario {

class CartellaTemporanea {
 public:
  CartellaTemporanea() {
    std::random_device rd;
    percorso_ = std::filesystem::temp_directory_path() /
                ("scenario-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(percorso_);
  }
  ~CartellaTemporanea() {
    std::error_code ignorato;
    std::filesystem::remove_all(percorso_, ignorato);
  }
  CartellaTemporanea(const CartellaTemporanea&) = delete;
  CartellaTemporanea& operator=(const CartellaTemporanea&) = delete;

  const std::filesystem::path& percorso() const { return percorso_; }

  // The names in the folder, sorted.
  std::vector<std::string> nomi() const {
    std::vector<std::string> n;
    for (const auto& e : std::filesystem::directory_iterator(percorso_)) {
      n.push_back(e.path().filename().string());
    }
    std::sort(n.begin(), n.end());
    return n;
  }

 private:
  std::filesystem::path percorso_;
};

}  // namespace scenario
