#include "windows/station/station_window.h"

#include <QGridLayout>
#include <QKeyEvent>

#include "core/base/program_constants.h"
#include "core/record/station_callsign.h"
#include "platform/colours.h"
#include "platform/text.h"
#include "platform/uppercase.h"

namespace ui {

StationWindow::StationWindow(AppContext& ctx, std::function<void(const std::string&)> onValidated,
                             QWidget* parent)
    : QDialog(parent), ctx_(ctx), onValidated_(std::move(onValidated)) {
    setObjectName("Station");
    setWindowTitle("Selection Indicaif");
    setAttribute(Qt::WA_DeleteOnClose);

    Label2 = new QLabel("Indicatif de la Station", this);
    Label2->setObjectName("Label2");
    QFont heading = Label2->font();
    heading.setPointSize(heading.pointSize() + 4);
    heading.setBold(true);
    Label2->setFont(heading);
    Label3 = new QLabel("Indicatif", this);
    Label3->setObjectName("Label3");
    New_Indicatif = new QLineEdit(this);
    New_Indicatif->setObjectName("New_Indicatif");
    installUppercaseRule(New_Indicatif, true);
    New_Indicatif->installEventFilter(this);
    Label5 = new QLabel("!!! Pour la saisie la '/' est remplacée par le '_'", this);
    Label5->setObjectName("Label5");
    Validation = new QPushButton("Validez", this);
    Validation->setObjectName("Validation");
    Validation->setAutoDefault(false);
    connect(Validation, &QPushButton::clicked, this, &StationWindow::validate);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label2, 0, 0, 1, 3, Qt::AlignCenter);
    grid->addWidget(Label3, 1, 0);
    grid->addWidget(New_Indicatif, 1, 1);
    grid->addWidget(Validation, 1, 2);
    grid->addWidget(Label5, 2, 0, 1, 3);
    grid->setSpacing(12);
    grid->setContentsMargins(20, 16, 20, 16);
    New_Indicatif->setMinimumWidth(fontMetrics().horizontalAdvance('M') * 14);
    New_Indicatif->clear();
}

bool StationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == New_Indicatif && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            paintBackground(New_Indicatif, Qt::white);
            Validation->setFocus();
            return true;  // swallowed: Enter never validates by itself
        }
    }
    return QDialog::eventFilter(watched, event);
}

void StationWindow::validate() {
    const std::string candidate = dxcc::storedForm(toCp1252(New_Indicatif->text()));
    switch (dxcc::checkStationCallsign(candidate)) {
        case dxcc::StationCheck::Empty:
            ctx_.dialogs->inform("Vous devez entrer un indicatif");
            return;
        case dxcc::StationCheck::TooLong:
            ctx_.dialogs->inform("12 caracteres maximum pour l'indicatif");
            return;
        case dxcc::StationCheck::BadCharacter:
            ctx_.dialogs->inform(
                "L'indicatif ne doit comporter que des lettres des chiffres ou le signe '_' ");
            New_Indicatif->clear();
            return;
        case dxcc::StationCheck::Ok:
            break;
    }
    onValidated_(candidate);
    accept();
}

}  // namespace ui
