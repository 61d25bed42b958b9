#include "output/descrizione_compilati.h"

namespace scenario {

std::string nome_tipo_cella(uint8_t tipo) {
  switch (tipo) {
    case kNessuno:
      return "-";
    case kSegnale:
      return "signal";
    case kFineRallentamento:
      return "slowdown end";
    case kInizioRallentamento:
      return "slowdown start";
    case kAvvisoRallentamento:
      return "slowdown warning";
    case kPreavvisoRallentamento:
      return "pre-warning";
    case kIndicatoriVMax:
      return "speed boards";
    case kStazione:
      return "station";
    case kSegnoMontagna:
      return "montagna mark";
    case kCodice:
      return "code";
    case kAbbattimento:
      return "abbattimento";
    case kCartello:
      return "text board";
    default:
      return "kind " + std::to_string(tipo);
  }
}

std::string ruolo_voce(int i, const Voce& v) {
  if (i == 0) return "unused";
  if (i >= kVoceProgressivaTre && i < kVoceTreno) return "chainage";
  if (i == kVoceTreno) return "make-up";
  if (i == kVoceScenario) return "scenario";
  if (i == kVoceRipetizione) return "train";
  Voce solo_nome;
  solo_nome.nome = v.nome;
  if (v == solo_nome) return v.nome.empty() ? "empty" : "text board";
  return "station";
}

int64_t progressiva(const std::array<Voce, kNumeroVoci>& voci, int64_t posizione) {
  for (int i = kVoceProgressivaTre; i < kVoceTreno; ++i) {
    const Voce& v = voci[static_cast<size_t>(i)];
    if (v.fine != 0 && v.inizio <= posizione) return v.fine + (posizione - v.inizio);
  }
  return posizione;
}

std::string testo_progressiva(int64_t metri) {
  const int64_t a = metri < 0 ? -metri : metri;
  std::string m = std::to_string(a % 1000);
  return (metri < 0 ? "-" : "") + std::to_string(a / 1000) + "+" + std::string(3 - m.size(), '0') +
         m;
}

}  // namespace scenario
