#pragma once

#include <string_view>

#include "core/base/export_target.h"
#include "core/logbook/log_messages.h"

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
// Records kept out of the log, and values the reader had to cut.
inline constexpr std::string_view kCallsignRefused =
    "Indicatif illisible (autre alphabet, blanc ou balise), QSO non importé";
inline constexpr std::string_view kDamagedLength =
    "Longueur de valeur qui empiète sur le champ suivant, valeur coupée à la balise";
inline constexpr std::string_view kDuplicates = "QSO déjà présents, non importés : ";

// The gathered report.
inline constexpr std::string_view kImportedCount = "QSO importés : ";
inline constexpr std::string_view kRecordsConcerned = " QSO";
inline constexpr std::string_view kRecordNumber = "   QSO n° ";
inline constexpr std::string_view kMoreRecords = "   ...";
inline constexpr std::string_view kMalformedTags = "Balises ADIF illisibles, ignorées : ";
inline constexpr std::string_view kValuesCutAtEnd = "Valeurs coupées par la fin du fichier : ";
inline constexpr std::string_view kLengthsRemeasured =
    "Longueurs de valeur fausses, valeurs relues : ";
inline constexpr std::string_view kDamagedLengths =
    "Valeurs qui empiètent sur le champ suivant, coupées à la balise : ";
inline constexpr std::string_view kHeadersAfterRecords =
    "Fins d'en-tête <EOH> après les QSO, ignorées : ";
// Around the size in Mio.
inline constexpr std::string_view kLongRecordsSkippedBefore = "Textes de plus de ";
inline constexpr std::string_view kLongRecordsSkippedAfter =
    " Mio sans fin <EOR> (pas des QSO), ignorés : ";
inline constexpr std::string_view kUnterminatedRecordKept =
    "Le dernier QSO du fichier n'a pas de fin <EOR> : il est importé.";

// A failure: the error text ("Erreur N° " and the code) comes first.
inline constexpr std::string_view kLogUnchanged = log_messages::kLogUnchanged;
// The operator stopped the import.
inline constexpr std::string_view kCancelled = "Importation annulée";

// ---- The export of the log ----
inline constexpr std::string_view kExportMenuItem = "Exporter le log au format ADIF";
inline constexpr std::string_view kExportHeaderLine = "Log ADIF de la station ";
inline constexpr std::string_view kExportEmptyLog = "Le log est vide : aucun QSO à exporter.";
inline constexpr std::string_view kExportOverDataFile = kExportOverProgramFile;
inline constexpr std::string_view kExportNotWritten = "Le fichier ADIF n'a pas été écrit.";
inline constexpr std::string_view kExportedTo = "Fichier : ";
inline constexpr std::string_view kExportedCount = "QSO exportés : ";
inline constexpr std::string_view kExportedWithoutDate = "QSO sans date lisible (sans QSO_DATE) : ";
inline constexpr std::string_view kExportedWithoutTime = "QSO sans heure lisible (sans TIME_ON) : ";
inline constexpr std::string_view kExportedWithoutBand =
    "QSO sur une bande inconnue de l'ADIF (sans BAND) : ";
inline constexpr std::string_view kAdifFileSuffix = ".adi";

// ---- The confirmations downloaded from the awarding body's online service ----
inline constexpr std::string_view kConfirmMenuItem = "Importer les confirmations (LoTW)";
inline constexpr std::string_view kConfirmSplashLine1 = "Importation des";
inline constexpr std::string_view kConfirmSplashLine2 = "  confirmations en cours";
inline constexpr std::string_view kConfirmationsRead = "Confirmations lues : ";
inline constexpr std::string_view kNewlyConfirmed = "QSO nouvellement confirmés : ";
inline constexpr std::string_view kAlreadyConfirmed = "QSO déjà confirmés : ";
inline constexpr std::string_view kNotConfirmations =
    "QSO du fichier sans confirmation (QSL_RCVD n'est pas Y), ignorés : ";
inline constexpr std::string_view kUnmatched = "Confirmations sans QSO dans le log : ";
inline constexpr std::string_view kUnmatchedHeading =
    "   Indicatif    Date       Heure  Bande   Mode";

}  // namespace dxcc::adif_messages
