#include "text/scenario_testi.h"

namespace scenario {

// The notes: free text for the driver about the line and the train. Long
// paragraphs are single lines of the file, split here only for the reader.
Righe righe_note() {
  return Righe{
      "        Regione Sicilia",
      "Linea Morvessa C.-Tolvarre.",
      "",
      "Da Morvessa C. la linea corre a semplice binario per 28,7 km e si percorre "
      "in circa 30 minuti; poco prima di Tolvarre comincia un tratto a doppio "
      "binario, in cui il binario di sinistra è quello dei treni provenienti da "
      "Morvessa e quello di destra è il binario per Agrigento, e il nostro treno "
      "entra in stazione sul binario di sinistra. A Tolvarre la sosta dura 13 "
      "minuti: la locomotiva viene sganciata e spostata all'altra estremità del "
      "treno, che riparte poi per Agrigento dal binario di destra. Tolvarre è una "
      "stazione passante e le linee a semplice binario che ne proseguono non sono "
      "elettrificate.",
      "Da un paio d'anni le stazioni della linea sono impresenziate, ",
      "tranne Tolvarre e la stessa Morvessa C., dove il personale è ancora presente.",
      "Limite della simulazione: i fabbricati viaggiatori possono stare solo a "
      "sinistra, perciò le stazioni che hanno il fabbricato a destra sono "
      "rappresentate senza di esso, e nelle stazioni i segnali non sono mai posti "
      "a destra.",
      "La linea Morvessa-Tolvarre e a Blocco elettrico conta assi.",
      "Esercizio con C.T.C. da Morvessa a Tolvarre.(sede D.C.O. a Morvessa). ",
      "Il tracciato è stato rilevato chilometro per chilometro viaggiando sulla "
      "linea, con l'aiuto della prefazione all'orario di servizio.",
      "N.B. La progressiva del passaggio a livello al Km 153,284 si riferisce alla "
      "linea Aragona-Tolvarre-Licata: il passaggio a livello si trova tra il "
      "segnale di protezione di Tolvarre e la stazione.",
      "",
      "Treno Simulato:",
      "E 823 'Freccia del sud' Milano C.le-Agrigento C.le.",
      "",
      "Il nostro treno come detto sopra è l'823 Milano C.le(13.55)-Agrigento C.le(12.05).",
      "Arriva da Catania trainato da una E 636, l'unica locomotiva ammessa su "
      "linee con queste pendenze e questi raggi di curva; a Morvessa C. avviene il "
      "cambio del personale di macchina.   ",
      "E' composto da 7 carrozze così disposte 4 seconda classe 1 prima classe 2 cuccette,",
      "quello simulato ha 8 carrozze tipico nel periodo estivo o di eccessiva affluenza. ",
      "Il personale che lo prende in consegna a Morvessa C. prosegue con lo stesso "
      "treno fino ad Agrigento.",
      "Sono graditi consigli e suggerimenti. Buon lavoro. ",
      " ",
      "Orario in vigore dal 30.09.2001.",
      "Nessun rallentamento in vigore sulla linea.",
      "Fine delle note.",
  };
}

// The slowdown order: form head, the table (no slowdown on this run: one
// "NESSUNA PRESCRIZIONE" row and 25 blank rows) and the legend of the codes.
Righe righe_rallentamenti() {
  return Righe{
      "",
      "                               Modulo M. 3",
      "                           ORDINE DI RALLENTAMENTO",
      " ________________________________________________________________________________",
      "  Linea  MORVESSA-TOLVARRE",
      "",
      "  Si ordina al macchinista del treno 823 di effettuare i seguenti rallentamenti",
      "  _______________________________________________________________________________",
      " |   |                            |Inizio dopo |          |         |            |",
      " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
      " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
      " |___|____________________________|____________|__________|_________|____________|",
      " |   |  NESSUNA PRESCRIZIONE      |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |   |                            |            |          |         |            |",
      " |___|____________________________|____________|__________|_________|____________|",
      "",
      "              Prescrizioni specifiche",
      " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
      " B - Interessa anche la stazione di.......",
      " D - Rallentamneto N. ... e N. ...  sono contigui",
      " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
      "     i giorni esclusi i seguenti:.........",
  };
}

// The timetable card: three rows of header boxes, the table head, one row per
// station or point of the run and the closing rule. Every column is fixed width,
// so trailing spaces are part of the lines. Kept unformatted: the lines are
// wider than the source's usual limit and must stay readable as a drawing.
// clang-format off
Righe righe_scheda() {
  return Righe{
      "",
      "",
      "  ___________________      ___________________                           _______________________",
      " |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |",
      " |     SICILIA       |    |       823         |     Scheda n° 2/3       |        V140 B         |",
      " |___________________|    |___________________|                         |         105%          |",
      " | Validità          |    | Termine Scheda    |    Da: MORVESSA         |_______________________|",
      " | Dal: 30.09.2001   |    |AGRIGENTO CENTRALE |     A: TOLVARRE       ",
      " |___________________|    |___________________|                          _______________________",
      "  ______________________ _____________________                          | Int. alla Sigla |     |",
      " | Classificazione      |   Massa Bloccata    |                         |     E 636       |     | ",
      " |         E            |       360T          |                         |     21/65       |     | ",
      " |______________________|_____________________|                         |_________________|_____|",
      "   ____________________________________________________________________________________________",
      "  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| ",
      "  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|",
      "  |_____|_____|_________________________________|_______________|___|______|___|___________|___|",
      "  | 60  | 60  |132.107  |   MORVESSA............| 10.30   10.32 |   |  /   |                   | ",
      "  | 75  |     |138.722  |   S.CATALDO           |     10.40     |1.0|  /   |                   | ",
      "  | 65  |     |         |  Sott.Km.142,236      |               |   |  /   |                   |",
      "  | 75  |     |         |  C.C.Km.143,845       |               |   |  /   |                   |",
      "  |     |     |151.082  |   SERRADIFALCO        |     10.51     |   |  /   |                   |",
      "  | 80  | 80  |160.858_||   TOLVARRE............| 11.03   11.15 |3.5|  /   |         1         | ",
      "  |     |     |154.207 \\|                       |               |   |  /   |                   | ",
      "  |_____|_____|_________________________________|_______________|___|______|___________________|",
  };
}
// clang-format on

}  // namespace scenario
