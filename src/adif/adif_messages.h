#pragma once

#include <string_view>

// Every text the ADIF import shows the operator (UTF-8), defined once.
namespace dxcc::adif_messages {

inline constexpr std::string_view kMenuItem = "Importer un fichier au format ADIF";

// The splash window's two lines while the import runs.
inline constexpr std::string_view kSplashLine1 = "Importation du fichier";
inline constexpr std::string_view kSplashLine2 = "     ADIF en cours";

// The open-file dialog: one entry listing the files that end in .adi.
inline constexpr std::string_view kFileFilterName = ".adi (adi)";
inline constexpr std::string_view kFileFilterPattern = "*.adi";
inline constexpr std::string_view kNoFileChosen = "selectionnez un fichier ou quitter";

// Substituted values, one message per kind, gathered at the end. The band
// message follows the record's callsign.
inline constexpr std::string_view kDateMissing = "Date absente, remplacée par 01/01/2000";
inline constexpr std::string_view kTimeMissing = "Heure absente, remplacée par 00:00";
inline constexpr std::string_view kCallsignMissing = "Indicatif absent, remplacé par FXXXX";
inline constexpr std::string_view kBandMissing = " Bande absente, remplacée par 1.8 Mhz";

// The gathered report.
inline constexpr std::string_view kImportedCount = "QSO importés : ";
inline constexpr std::string_view kRecordsConcerned = " QSO";
inline constexpr std::string_view kRecordNumber = "   QSO n° ";
inline constexpr std::string_view kMoreRecords = "   ...";
inline constexpr std::string_view kMalformedTags = "Balises ADIF illisibles, ignorées : ";
inline constexpr std::string_view kValuesCutAtEnd = "Valeurs coupées par la fin du fichier : ";
inline constexpr std::string_view kLengthsRemeasured =
    "Longueurs de valeur fausses, valeurs relues : ";
inline constexpr std::string_view kHeadersAfterRecords =
    "Fins d'en-tête <EOH> après les QSO, ignorées : ";
inline constexpr std::string_view kUnterminatedRecordKept =
    "Le dernier QSO du fichier n'a pas de fin <EOR> : il est importé.";

// A failure: the error text ("Erreur N° " and the code) comes first.
inline constexpr std::string_view kLogUnchanged = "Le log n'a pas été modifié";
// The operator stopped the import.
inline constexpr std::string_view kCancelled = "Importation annulée";

}  // namespace dxcc::adif_messages
