#include "compiler/formato.h"

#include <array>

#include "compiler/lettore_campi.h"

namespace scenario {
namespace {

using G = GenereCampo;
using S = SorgenteFormato;
using P = std::string_view;

constexpr int64_t kRotta = 1000000;  // the longest route, in metres

// A route position: where the entry stands along the route.
constexpr CampoFormato posizione(P significato, int32_t multiplo = 1) {
  return {"posizione", "m", significato, G::kNumero, 0, kRotta, multiplo};
}

// The route source.
constexpr CampoFormato kLunghezza[] = {
    {"lunghezza", "m", "length of the route", G::kNumero, 1, kRotta, 1},
};
constexpr CampoFormato kProgressiva[] = {
    posizione("route position from which the chainage applies", 50),
    {"progressiva", "m", "chainage value at that position", G::kNumero, 0, 9999999, 50},
    {"aggiunta", "", "1 adds 100 m to the chainage, 0 leaves it", G::kNumero, 0, 1, 1},
};
constexpr CampoFormato kSfondo[] = {
    {"valore", "", "background setting of the scenery", G::kNumero, 0, 255, 1},
};
constexpr CampoFormato kRipetizione[] = {
    {"inizio", "m", "start of the signal repetition", G::kNumero, 0, kRotta, 50},
    {"fine", "m", "end of the signal repetition; 0 turns the code system off", G::kNumero, 0,
     kRotta, 50},
};
constexpr CampoFormato kPendenza[] = {
    posizione("where the gradient starts; it holds to the next gradient", 50),
    {"pendenza", "per mille", "gradient, rising when positive", G::kNumero, -100, 155, 1},
};
constexpr CampoFormato kCurva[] = {
    posizione("where the curve starts"),
    // A curve of length 0 turns nothing: the straight run still reaches its start.
    {"lunghezza", "m", "length of the arc", G::kNumero, 0, kRotta, 1},
};
constexpr CampoFormato kMontagna[] = {
    {"inizio", "m", "where the scenery feature starts", G::kNumero, 0, kRotta, 1},
    {"fine", "m", "where it ends", G::kNumero, 0, kRotta, 1},
    {"tipo", "", "kind of feature; 10 more (11, 12) marks it lit", G::kNumero, 0, 20, 1},
};
constexpr CampoFormato kIndicatori[] = {
    posizione("where the boards stand"),
    // The left speeds are stored whole (times 20), the right ones in steps of 5.
    {"vas", "km/h", "left board, first speed", G::kNumero, 0, 300, 1},
    {"vbs", "km/h", "left board, second speed", G::kNumero, 0, 300, 1},
    {"vcs", "km/h", "left board, third speed", G::kNumero, 0, 300, 1},
    {"strisces", "", "stripes on the left board", G::kNumero, 0, 9, 1},
    {"vad", "km/h", "right board, first speed (empty: none)", G::kNumero, 0, 300, 5},
    {"vbd", "km/h", "right board, second speed", G::kNumero, 0, 300, 5},
    {"vcd", "km/h", "right board, third speed", G::kNumero, 0, 300, 5},
    {"strisced", "", "stripes on the right board", G::kNumero, 0, 9, 1},
};
constexpr CampoFormato kCartello[] = {
    posizione("where the board stands"),
    {"testo", "", "the board's text, one (group) per line of the board, no comma", G::kTesto, 0,
     65535, 1},
};

// The service source.
constexpr CampoFormato kMassaFrenata[] = {
    {"percentuale", "%", "braked-mass percentage of the train", G::kNumero, 0, 250, 1},
};
constexpr CampoFormato kVetture[] = {
    {"vetture", "", "number of coaches", G::kNumero, 1, 255, 1},
};
constexpr CampoFormato kVelocita[] = {
    posizione("where the limit starts; it holds to the next limit", 50),
    {"velocita", "km/h", "line-speed limit", G::kNumero, 0, 300, 5},
};
constexpr CampoFormato kAderenza[] = {
    posizione("where the adhesion starts; it holds to the next one", 50),
    {"aderenza", "%", "adhesion percentage", G::kNumero, 0, 255, 1},
};
constexpr CampoFormato kOrologio[] = {
    {"ore", "h", "hours of the clock at the start", G::kNumero, 0, 23, 1},
    {"minuti", "min", "minutes", G::kNumero, 0, 59, 1},
    {"secondi", "s", "seconds", G::kNumero, 0, 59, 1},
};
constexpr CampoFormato kSabbia[] = {
    {"sabbia", "", "sand quantity", G::kNumero, 0, 32767, 1},
};
constexpr CampoFormato kSegnale[] = {
    posizione("where the signal stands"),
    {"sx", "", "kind of the left signal: 0 none, 1 first, 2 second before a station", G::kNumero, 0,
     2, 1},
    {"s1", "", "left signal, first code", G::kNumero, 0, 9, 1},
    {"s2", "", "left signal, second code", G::kNumero, 0, 9, 1},
    {"s3", "", "left signal, third code", G::kNumero, 0, 9, 1},
    {"rapp", "", "one-digit code", G::kNumero, 0, 9, 1},
    {"dx", "", "kind of the right signal: 0 none, 1 first, 2 second", G::kNumero, 0, 2, 1},
    {"d1", "", "right signal, first code", G::kNumero, 0, 9, 1},
    {"d2", "", "right signal, second code", G::kNumero, 0, 9, 1},
    {"d3", "", "right signal, third code", G::kNumero, 0, 9, 1},
    {"tempo", "", "time value kept for a second left signal (sx 2)", G::kNumero, 0, 255, 1},
};
constexpr CampoFormato kRallentamento[] = {
    {"x", "m", "where the slowdown starts", G::kNumero, 0, kRotta, 1},
    {"v", "km/h", "speed through the slowdown, stored whole", G::kNumero, 0, 300, 1},
    {"l", "m", "length of the slowdown", G::kNumero, 0, kRotta, 1},
    {"f_tt", "", "code stored at the slowdown's start and end", G::kNumero, 0, 32767, 1},
    {"f_ta", "", "non-zero: four marks before the warning point", G::kNumero, 0, 1, 1},
    {"d_v", "", "second value, stored when non-zero", G::kNumero, 0, 32767, 1},
};
constexpr CampoFormato kAbbattimento[] = {
    posizione("where the mark stands"),
    // Any value of 0 or less asks for the mark without value: all of them are sound.
    {"valore", "", "value stored with the mark; 0 or less: a mark without value", G::kNumero,
     INT32_MIN, 32767, 1},
};
constexpr CampoFormato kStazione[] = {
    posizione("the station's reference point", 50),
    {"tipo", "",
     "kind: 5, 6 reach back by the length; 7, 8 both ways; others centred; 25 and above unmarked",
     G::kNumero, 0, 255, 1},
    {"lunghezza", "m", "length of the station; below 600 clears field 5", G::kNumero, 100, 10000,
     100},
    {"opzione_4", "", "carried; 1 on the destination", G::kNumero, 0, 255, 1},
    {"opzione_5", "", "carried; 0 on the first station and below 600 m", G::kNumero, 0, 255, 1},
    {"opzione_6", "", "non-zero: a centred station ends 50 m further", G::kNumero, 0, 255, 1},
    // The 16-bit fields are carried as read into signed 16-bit members.
    {"opzione_7", "", "carried; 1 on the origin and the destination", G::kNumero, -32768, 32767, 1},
    {"opzione_8", "", "carried", G::kNumero, -32768, 32767, 1},
    {"opzione_9", "", "carried", G::kNumero, 0, 255, 1},
    {"opzione_10", "", "carried", G::kNumero, -32768, 32767, 1},
    {"opzione_11", "", "carried", G::kNumero, -32768, 32767, 1},
    {"opzione_12", "", "carried", G::kNumero, -32768, 32767, 1},
    {"opzione_13", "", "carried; 1 on the origin", G::kNumero, 0, 255, 1},
    {"ore", "h", "scheduled time: hours (departure at the origin, arrival at the end)", G::kNumero,
     0, 23, 1},
    {"minuti", "min", "scheduled time: minutes", G::kNumero, 0, 59, 1},
    {"secondi", "s", "scheduled time: seconds", G::kNumero, 0, 59, 1},
    {"nome", "", "the station's name, to the end of the line", G::kTesto, 1, 65535, 1},
};

constexpr P kPLunghezza[] = {"percorso", "lunghezza"};
constexpr P kPTre[] = {"tre", "progressiva"};
constexpr P kPDue[] = {"due", "progressiva"};
constexpr P kPUno[] = {"uno", "progressiva"};
constexpr P kPSfondoUno[] = {"sfondo", "uno"};
constexpr P kPSfondoDue[] = {"sfondo", "due"};
constexpr P kPSfondoTre[] = {"sfondo", "tre"};
constexpr P kPRipetizione[] = {"segnali", "ripetizione"};
constexpr P kPPendenza[] = {"pendenza"};
constexpr P kPCurva[] = {"curva"};
constexpr P kPMontagna[] = {"montagna"};
constexpr P kPIndicatori[] = {"indicatori_v"};
constexpr P kPCartello[] = {"indicat", "cartello"};
constexpr P kPFrenata[] = {"massa", "frenata"};
constexpr P kPVetture[] = {"vetture"};
constexpr P kPVelocita[] = {"velocit"};
constexpr P kPAderenza[] = {"aderenza"};
constexpr P kPOrologio[] = {"orologio"};
constexpr P kPSabbia[] = {"sabbia"};
constexpr P kPSegnale[] = {"segnale"};
constexpr P kPRallentamento[] = {"rallentamento"};
constexpr P kPAbbattimento[] = {"abbattimento"};
constexpr P kPStazione[] = {"stazione"};

constexpr VoceFormato kVoci[] = {
    {"lunghezza percorso", S::kLinea, "[generale]", kPLunghezza, false,
     "the route's length; sizes the whole model", kLunghezza, "lunghezza percorso,    31000"},
    {"progressiva chilometrica tre", S::kLinea, "[generale]", kPTre, true,
     "third chainage reference", kProgressiva, "progressiva chilometrica tre,    0,    0,    0"},
    {"progressiva chilometrica due", S::kLinea, "[generale]", kPDue, true,
     "second chainage reference", kProgressiva, "progressiva chilometrica due,    0,    0,    0"},
    {"progressiva chilometrica uno", S::kLinea, "[generale]", kPUno, true,
     "first chainage reference", kProgressiva,
     "progressiva chilometrica uno,    0,    132100,    0"},
    {"sfondo uno", S::kLinea, "[generale]", kPSfondoUno, true, "first background setting", kSfondo,
     "sfondo uno,    0"},
    {"sfondo due", S::kLinea, "[generale]", kPSfondoDue, true, "second background setting", kSfondo,
     "sfondo due,    1"},
    {"sfondo tre", S::kLinea, "[generale]", kPSfondoTre, true, "third background setting", kSfondo,
     "sfondo tre,    0"},
    {"ripetizione segnali 4 codici", S::kLinea, "[generale]", kPRipetizione, true,
     "signal repetition; the keyword names the code system, 4 or 9", kRipetizione,
     "ripetizione segnali 4 codici,    0    ,0"},
    {"pendenza", S::kLinea, "[pendenze]", kPPendenza, false,
     "a gradient change, in route order from position 0", kPendenza, "pendenza,  150,   3"},
    {"curva", S::kLinea, "[curve]", kPCurva, false,
     "a curve; the keyword adds d (right) or s (left) and the radius class 1 to 6, as curvad4",
     kCurva, "curvad4,  300,  100"},
    {"montagna", S::kLinea, "[montagne]", kPMontagna, false,
     "a stretch of scenery (a cutting, a tunnel)", kMontagna, "montagna,   8000,  8300,  11"},
    {"indicatori_vmax", S::kLinea, "[cartelli]", kPIndicatori, false,
     "speed indicator boards on the left and the right", kIndicatori,
     "indicatori_vmax,  6850,  75,  80,  80,  0,  ,  ,  ,  0"},
    {"cartello_indicatore", S::kLinea, "[indicazioni]", kPCartello, false,
     "a text board beside the track", kCartello, "cartello_indicatore,  3250,   (Sottovia)"},
    {"percentuale massa frenata", S::kTreno, "[generale]", kPFrenata, false,
     "the train's braked-mass percentage", kMassaFrenata, "percentuale massa frenata,    105"},
    {"numero vetture", S::kTreno, "[generale]", kPVetture, false, "the train's coaches", kVetture,
     "numero vetture,    8"},
    {"velocita", S::kTreno, "[vel_limite]", kPVelocita, false,
     "a line-speed limit, in route order from position 0", kVelocita, "velocita,    6800,    75"},
    {"aderenza", S::kTreno, "[aderenze]", kPAderenza, false,
     "an adhesion change, in route order from position 0", kAderenza, "aderenza,     650,    85"},
    {"orologio", S::kTreno, "[generale]", kPOrologio, false,
     "the clock at the start; its numbers may be separated by blanks alone", kOrologio,
     "orologio,    10              31            0"},
    {"sabbia", S::kTreno, "[generale]", kPSabbia, false, "the sand the train carries", kSabbia,
     "sabbia,    120"},
    {"segnale", S::kTreno, "[segnali]", kPSegnale, false, "a signal", kSegnale,
     "segnale,    4400,   1, 4, 1,  0, 0,    0,  0,0,0, 0"},
    {"rallentamento", S::kTreno, "[rallentamenti]", kPRallentamento, false,
     "a slowdown, with its warning point 1200 m before it", kRallentamento,
     "rallentamento,    5000,   30,  400,  1,  1,  0"},
    {"abbattimento", S::kTreno, "[codici]", kPAbbattimento, false, "an abbattimento mark",
     kAbbattimento, "abbattimento,    9000,    0"},
    {"stazione", S::kTreno, "[stazioni]", kPStazione, false,
     "a station, in route order, 350 m at least from the previous one's end", kStazione,
     "stazione,    6600, 21,  300,  0, 0, 1,  0,0,0,  4,1,1,    0,   0, 0, 0, SAN CATALDO"},
};

constexpr P kSezioniLinea[] = {"[generale]", "[curve]",    "[pendenze]",
                               "[montagne]", "[cartelli]", "[indicazioni]"};
constexpr P kSezioniTreno[] = {"[generale]",      "[aderenze]", "[vel_limite]", "[stazioni]",
                               "[rallentamenti]", "[segnali]",  "[codici]"};

std::string_view senza_blank(std::string_view s) {
  const size_t i = s.find_first_not_of(" \t");
  if (i == std::string_view::npos) return {};
  const size_t j = s.find_last_not_of(" \t");
  return s.substr(i, j - i + 1);
}

}  // namespace

std::span<const VoceFormato> voci_formato() {
  return kVoci;
}

const VoceFormato* voce_per_parola(std::string_view parola) {
  const std::string p = minuscole(senza_blank(parola));
  for (const VoceFormato& v : kVoci) {
    if (v.parola == p) return &v;
  }
  return nullptr;
}

bool riconosce(const VoceFormato& v, std::string_view campo) {
  const std::string minuscolo = v.esatte ? std::string(campo) : minuscole(campo);
  for (std::string_view p : v.prove) {
    if (!contiene(minuscolo, p)) return false;
  }
  return true;
}

const VoceFormato* voce_riconosciuta(std::string_view campo, SorgenteFormato sorgente,
                                     bool fase_generale) {
  // The readers discard a keyword field holding "-" before any test.
  if (contiene(campo, "-")) return nullptr;
  for (const VoceFormato& v : kVoci) {
    if (v.sorgente != sorgente) continue;
    if (sorgente == S::kLinea && (v.sezione == "[generale]") != fase_generale) continue;
    if (riconosce(v, campo)) return &v;
  }
  return nullptr;
}

std::string_view nome_sorgente(SorgenteFormato s) {
  return s == S::kLinea ? "route source" : "service source";
}

std::span<const std::string_view> sezioni_formato(SorgenteFormato s) {
  if (s == S::kLinea) return kSezioniLinea;
  return kSezioniTreno;
}

}  // namespace scenario
