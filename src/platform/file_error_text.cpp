#include "platform/file_error_text.h"

#include <cerrno>
#include <iterator>

#include <QLocale>

#include "core/base/text_file.h"
#include "core/record/qso_record.h"
#include "platform/text.h"

namespace ui {

namespace {

struct Meaning {
    int value;
    const char* text;
};

// The system's own reason, where it says more than the classic code.
constexpr Meaning kBySystemError[] = {
    {EROFS, "Le disque est en lecture seule."},
    {EDQUOT, "Le quota d'espace disque est atteint."},
    {EISDIR, "Un dossier porte ce nom : ce n'est pas un fichier."},
};

constexpr Meaning kByCode[] = {
    {dxcc::kOutOfMemory,
     "Le fichier est trop volumineux pour être chargé en mémoire : il n'a pas été lu."},
    {dxcc::kFileNotFound, "Fichier introuvable."},
    {dxcc::kDiskFull, "Le disque est plein."},
    {dxcc::kPermissionDenied, "Permission refusée."},
    {dxcc::kPathFileAccessError, "Ce nom n'est pas celui d'un fichier ordinaire."},
    {dxcc::kPathNotFound, "Dossier introuvable (a-t-il été supprimé ou démonté ?)."},
    {dxcc::kInputPastEnd, "Lecture au-delà de la fin du fichier."},
};

const char* find(const Meaning* begin, const Meaning* end, int value) {
    for (const Meaning* m = begin; m != end; ++m)
        if (m->value == value) return m->text;
    return nullptr;
}

QString meaningOf(const dxcc::FileError& e) {
    switch (e.problem()) {
        case dxcc::FileProblem::ChangedWhileWriting:
            return QString::fromUtf8(
                "Le fichier a été changé sur le disque par un autre programme pendant "
                "l'enregistrement : l'enregistrement a été abandonné et le changement de l'autre "
                "programme gardé.");
        case dxcc::FileProblem::LogLimitReached: {
            const dxcc::FileLimits& limit = dxcc::kLogFileLimits;
            return QString::fromUtf8(
                       "Le log dépasserait la limite de %1 Mio ou %2 lignes au-delà de laquelle "
                       "VEL_DXCC ne pourrait plus l'ouvrir : l'opération est refusée.")
                .arg(limit.maxBytes / dxcc::kMebibyte)
                .arg(QLocale(QLocale::French).toString(static_cast<qulonglong>(limit.maxLines)));
        }
        case dxcc::FileProblem::None:
            break;
    }
    if (e.systemError() != 0)
        if (const char* text =
                find(std::begin(kBySystemError), std::end(kBySystemError), e.systemError()))
            return QString::fromUtf8(text);
    if (const char* text = find(std::begin(kByCode), std::end(kByCode), e.code()))
        return QString::fromUtf8(text);
    return QString::fromUtf8("Erreur d'entrée/sortie.");
}

}  // namespace

QString fileErrorText(const dxcc::FileError& e) {
    return QString::fromUtf8(dxcc::kFileErrorLead) + fromView(dxcc::numberText(e.code())) + "\r\n" +
           meaningOf(e) + "\r\n" + QString::fromLocal8Bit(e.what());
}

}  // namespace ui
