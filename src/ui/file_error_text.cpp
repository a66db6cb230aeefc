#include "ui/file_error_text.h"

#include "logbook/qso_record.h"
#include "ui/text.h"

namespace ui {

namespace {

QString meaningOf(int code) {
    switch (code) {
        case dxcc::kFileNotFound:
            return "Fichier introuvable.";
        case dxcc::kDiskFull:
            return "Le disque est plein.";
        case dxcc::kPermissionDenied:
            return "Permission refusée.";
        case dxcc::kPathNotFound:
            return "Chemin introuvable.";
        case dxcc::kInputPastEnd:
            return "Lecture au-delà de la fin du fichier.";
        default:
            return "Erreur d'entrée/sortie.";
    }
}

}  // namespace

QString fileErrorText(const dxcc::FileError& e) {
    return "Erreur N° " + fromView(dxcc::numberText(e.code())) + "\r\n" + meaningOf(e.code()) +
           "\r\n" + QString::fromLocal8Bit(e.what());
}

}  // namespace ui
