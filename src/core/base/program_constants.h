#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "core/base/text_utils.h"

// Facts shared by the whole program, defined once.
namespace dxcc {

inline constexpr std::string_view kProgramTitle = "VEL_DXCC";
inline constexpr std::string_view kRevision = " 1.0.4";
inline constexpr std::array<std::string_view, 5> kHistoryLines{
    "V1.0.0   le 11/03/2008 creation",
    "V1.0.1   le 05/03/2008 Suppression fichier FXXXX.log et FXXXX_Prefixe.txt",
    "V1.0.2   le 29/03/2008 Ajout statistiques préfixes",
    "V1.0.3   le 30/03/2008 Ajout gestion erreur 53",
    "V1.0.4   le 17/06/2008 Modification Import ADIF pour log a lignes multiples",
};

// Entry lists of the band and mode boxes. Every band label is 7 characters.
inline constexpr std::array<std::string_view, 12> kBands{
    "1.8 Mhz", "3.5 Mhz", "7.0 Mhz", "10 Mhz ", "14 Mhz ", "18 Mhz ",
    "21 Mhz ", "24 Mhz ", "28 Mhz ", "50 Mhz ", "144 Mhz", "432 Mhz",
};
// Positions in the band list.
enum BandPosition : size_t {
    kBand160m,
    kBand80m,
    kBand40m,
    kBand30m,
    kBand20m,
    kBand17m,
    kBand15m,
    kBand12m,
    kBand10m,
    kBand6m,
    kBand2m,
    kBand70cm,
};
// A band label without the blank that pads it to 7 characters: the band as
// it compares once blanks are trimmed ("14 Mhz").
constexpr std::string_view bandName(size_t position) {
    return trimTrailingBlanks(kBands[position]);
}
inline constexpr std::array<std::string_view, 4> kModes{"SSB", "CW", "DIG", "SAT"};
// The mode of a contact made through a satellite.
inline constexpr std::string_view kSatelliteMode = kModes[3];

// Station callsign meaning "no station configured yet".
inline constexpr std::string_view kNoStation = "FXXXX";

// The settings store's application name (its sections and keys: see
// session/station_settings.cpp).
inline constexpr std::string_view kSettingsApplication = "DXCC";

// Data files in the data directory.
inline constexpr std::string_view kPrefixFileName = "Prefixe_DXCC.txt";
// The prefix file as the last update built it, before the operator's lines
// went in: what tells the operator's lines from the built ones next time.
inline constexpr std::string_view kPrefixBaseFileName = "Prefixe_DXCC_base.txt";
// Whole callsigns whose entity no prefix tells (DXpeditions, special calls).
inline constexpr std::string_view kExactCallFileName = "Exceptions_DXCC.txt";
// The exact-call file as the last update built it (see kPrefixBaseFileName).
inline constexpr std::string_view kExactCallBaseFileName = "Exceptions_DXCC_base.txt";
// Position, continent, zones and time offset of each DXCC entity.
inline constexpr std::string_view kEntityDataFileName = "Entites_DXCC.txt";
inline constexpr std::string_view kFirstNameFileName = "Liste_Prenom.txt";
inline constexpr std::string_view kLogFileSuffix = "_DXCC.log";
// Contacts a digital-mode program logged that could not be put in the log yet
// (ADIF records), until they are.
inline constexpr std::string_view kPendingContactsFileName = "Contacts_en_attente.adi";
// Held by the one copy of the program that may write the data folder.
inline constexpr std::string_view kLockFileName = "VEL_DXCC.lock";
// Held by whichever copy of the program rewrites the pending contacts' file:
// every copy that receives contacts writes it, the one holding the folder or not.
inline constexpr std::string_view kPendingLockFileName = "Contacts_en_attente.lock";
// Scratch files of the safe rewrite: the log's insert, and the log's modify and
// delete together with the first-name memory (never at the same time).
inline constexpr const char* kInsertScratchName = "Temporaire6.txt";
inline constexpr const char* kRewriteScratchName = "Temporaire.txt";
// The ADIF import's own scratch file.
inline constexpr const char* kImportScratchName = "Temporaire8.txt";
// The pending contacts' scratch file.
inline constexpr const char* kPendingScratchName = "Temporaire9.txt";
// Where the files that change together (the prefix update's) wait for their
// rename, one each, and the journal that names them (see rewriteTogether).
inline constexpr std::array<const char*, 5> kTogetherScratchNames{
    "Temporaire1.txt", "Temporaire2.txt", "Temporaire3.txt", "Temporaire4.txt", "Temporaire5.txt"};
inline constexpr std::string_view kUpdateJournalName = "VEL_DXCC.journal";
inline constexpr std::array<const char*, 9> kScratchFileNames{
    kRewriteScratchName,      kInsertScratchName,       kImportScratchName,
    kTogetherScratchNames[0], kTogetherScratchNames[1], kTogetherScratchNames[2],
    kTogetherScratchNames[3], kTogetherScratchNames[4], kPendingScratchName};

// The data files the program rewrites (through links, see scratchBeside).
inline bool isRewrittenDataFileName(std::string_view name) {
    return name.ends_with(kLogFileSuffix) || name == kPrefixFileName ||
           name == kPrefixBaseFileName || name == kExactCallFileName ||
           name == kExactCallBaseFileName || name == kEntityDataFileName ||
           name == kFirstNameFileName || name == kPendingContactsFileName;
}

// Every file of the program in the data folder: nothing else may replace one.
inline bool isProgramFileName(std::string_view name) {
    if (isRewrittenDataFileName(name) || name == kLockFileName || name == kPendingLockFileName ||
        name == kUpdateJournalName)
        return true;
    for (const char* scratch : kScratchFileNames)
        if (name == scratch) return true;
    return false;
}

// The awarding body's pages shown in the web views.
inline constexpr std::string_view kArrlHost = "https://www.arrl.org";
inline constexpr std::string_view kDxccListPath = "/awards/dxcc/dxcclist.txt";
inline constexpr std::string_view kRulesPath = "/rules";

}  // namespace dxcc
