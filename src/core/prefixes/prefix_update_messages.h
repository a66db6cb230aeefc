#pragma once

#include <string_view>

// Every text the prefix update shows the operator (UTF-8), defined once.
namespace dxcc::prefix_update_messages {

inline constexpr std::string_view kMenuItem = "Mettre à jour les préfixes (cty.dat)";
inline constexpr std::string_view kFileFilter =
    "Fichier des contrées (cty.dat) (*.dat *.DAT);;Tous les fichiers (*)";
inline constexpr std::string_view kSaveButton = "Enregistrer";
inline constexpr std::string_view kCancelButton = "Annuler";
inline constexpr std::string_view kCopyButton = "Copier";
inline constexpr std::string_view kQuestion =
    "Enregistrer ces changements dans le fichier des préfixes ?";
inline constexpr std::string_view kNothingChanged =
    "Ce fichier n'apporte aucun changement : le fichier des préfixes n'a pas été réécrit.";
// Follows the file error's own text when the files could not be written and
// none of them changed.
inline constexpr std::string_view kNotSaved =
    "Les préfixes n'ont pas été mis à jour : le fichier des préfixes est inchangé.";
// Follows the file error's own text when the files were being replaced: the
// names of the files replaced, then kUnfinishedPending and the others, then ".".
inline constexpr std::string_view kUnfinished =
    "La mise à jour des préfixes n'a pas pu être achevée ; elle le sera au prochain démarrage "
    "de VEL_DXCC. Fichiers déjà mis à jour : ";
inline constexpr std::string_view kUnfinishedPending = ". Fichiers pas encore mis à jour : ";
inline constexpr std::string_view kNoFile = "aucun";

// An update that would remove more than a tenth of the entries: the number
// removed, kRemovesManyOf, the number before, kRemovesManyEnd.
inline constexpr std::string_view kRemovesMany = "ATTENTION : cette mise à jour supprimerait ";
inline constexpr std::string_view kRemovesManyOf = " des ";
inline constexpr std::string_view kRemovesManyEnd =
    " entrées du fichier des préfixes (plus d'un dixième) : le fichier des contrées est "
    "peut-être incomplet.";
// The same for the exact calls: kRemovesMany, the number removed,
// kRemovesManyOf, the number before, kRemovesManyExactCallsEnd.
inline constexpr std::string_view kRemovesManyExactCallsEnd =
    " indicatifs exacts (plus d'un dixième) : le fichier des contrées est peut-être incomplet.";
// Then, in the window.
inline constexpr std::string_view kRemovesManyWindow =
    "Pour l'enregistrer quand même, choisissez « Enregistrer » ; Entrée annule.";
// Then, on the command line.
inline constexpr std::string_view kRemovesManyCommand =
    "Rien n'a été écrit ; l'option --force l'enregistre quand même.";

// Refusals of a country file, each after the file's name and " : ".
inline constexpr std::string_view kNotAFile = "ce n'est pas un fichier ordinaire.";
inline constexpr std::string_view kTooLarge = "fichier trop grand pour être un cty.dat.";
// Followed by the line.
inline constexpr std::string_view kBadEntityLine = "ligne de contrée illisible : ";
inline constexpr std::string_view kNoEntity = "aucune contrée dans ce fichier.";
inline constexpr std::string_view kUnterminated =
    "la dernière contrée ne se termine pas par « ; » : le fichier est coupé (téléchargement "
    "interrompu ?).";
// Followed by the line.
inline constexpr std::string_view kBadCsvLine = "ligne illisible : ";
inline constexpr std::string_view kDatCsvDisagree =
    "ce fichier et le cty.dat ne donnent pas les mêmes contrées ; "
    "retirez le cty.csv ou mettez les deux à jour ensemble.";
// Followed by the name.
inline constexpr std::string_view kNamesNotUnique =
    "deux contrées auraient le même nom une fois abrégé : ";

// The summary shown before saving.
inline constexpr std::string_view kSummaryTitle = "Mise à jour des préfixes depuis ";
inline constexpr std::string_view kWithCsv = "(numéros des contrées lus dans le cty.csv voisin)";
inline constexpr std::string_view kWithoutCsv =
    "(sans cty.csv : les contrées « * » rejoignent la contrée DXCC de leur préfixe)";
inline constexpr std::string_view kEntriesBefore = "Entrées avant : ";
inline constexpr std::string_view kEntriesAfter = "Entrées après : ";
inline constexpr std::string_view kAdded = "Préfixes ajoutés : ";
inline constexpr std::string_view kRemoved = "Préfixes supprimés : ";
inline constexpr std::string_view kMoved = "Préfixes passés à une autre contrée : ";
inline constexpr std::string_view kRenamed = "Contrées renommées : ";
inline constexpr std::string_view kOperatorKept = "Vos lignes conservées : ";
inline constexpr std::string_view kExactBefore = "Indicatifs exacts avant : ";
inline constexpr std::string_view kExactAfter = "Indicatifs exacts après : ";
inline constexpr std::string_view kExactAdded = "Indicatifs exacts ajoutés : ";
inline constexpr std::string_view kExactRemoved = "Indicatifs exacts supprimés : ";
inline constexpr std::string_view kExactMoved = "Indicatifs exacts passés à une autre contrée : ";
inline constexpr std::string_view kExactOperatorKept = "Vos indicatifs exacts conservés : ";
inline constexpr std::string_view kExactTooLong =
    "Indicatifs exacts écartés (plus de 12 caractères) : ";
inline constexpr std::string_view kExactFromPrefixFile =
    "Indicatifs entiers retirés du fichier des préfixes (devenus indicatifs exacts) : ";
inline constexpr std::string_view kLeftOut =
    "Contrées « * » écartées (aucune contrée DXCC trouvée) : ";
inline constexpr std::string_view kEntityDataChanged =
    "Données des contrées (noms, positions, zones, heures locales) mises à jour.";
inline constexpr std::string_view kNoChange = "Aucun changement.";

}  // namespace dxcc::prefix_update_messages
