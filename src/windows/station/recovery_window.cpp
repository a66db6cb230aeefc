#include "windows/station/recovery_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/base/program_constants.h"
#include "platform/text.h"

namespace ui {

namespace {

QLabel* line(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

}  // namespace

RecoveryWindow::RecoveryWindow(AppContext& ctx, const QString& stationCallsign,
                               std::function<void()> forgetStation, QWidget* parent)
    : QDialog(parent), ctx_(ctx), forgetStation_(std::move(forgetStation)) {
    setObjectName("Gestion_Erreur");
    setWindowTitle("Gestiom erreur");
    setModal(true);

    auto* heading = line("GESTION ERREUR 53", this);
    QFont f = heading->font();
    f.setPointSize(f.pointSize() + 4);
    f.setBold(true);
    heading->setFont(f);
    Ind_Station2 = line(stationCallsign, this);
    Ind_Station2->setObjectName("Ind_Station2");
    Ind_Station1 = line(stationCallsign, this);
    Ind_Station1->setObjectName("Ind_Station1");
    Err_Departement = line(fromView(dxcc::kLogFileSuffix), this);
    Err_Departement->setObjectName("Err_Departement");
    for (QLabel* l : {Ind_Station1, Ind_Station2, Err_Departement}) {
        QFont b = l->font();
        b.setBold(true);
        l->setFont(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading, 0, Qt::AlignCenter);
    auto* row1 = new QHBoxLayout;
    row1->addWidget(line("VEL_DXCC  a trouvé dans la base de registre l'indicatif  : ", this));
    row1->addWidget(Ind_Station2);
    row1->addStretch();
    layout->addLayout(row1);
    auto* row2 = new QHBoxLayout;
    row2->setSpacing(0);
    row2->addWidget(line("Il n'a par contre pas trouvé dans son repertoire le fichier ", this));
    row2->addWidget(Ind_Station1);
    row2->addWidget(Err_Departement);
    row2->addStretch();
    layout->addLayout(row2);
    layout->addSpacing(10);
    layout->addWidget(
        line("Pour remedier a cet etat, cliquez sur \" Initialiser\" puis \"Quitter\"", this));
    layout->addWidget(line("L'indicatif affiché sera alors FXXXX ", this));
    layout->addWidget(
        line("une boite de dialogue vous demandera alors de specifier votre indicatif", this));
    auto* buttons = new QHBoxLayout;
    Initialisation = new QPushButton("Initialiser", this);
    Initialisation->setObjectName("Initialisation");
    Quitter = new QPushButton("Quitter", this);
    Quitter->setObjectName("Quitter");
    for (QPushButton* b : {Initialisation, Quitter}) b->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(Initialisation);
    buttons->addWidget(Quitter);
    buttons->addStretch();
    layout->addSpacing(10);
    layout->addLayout(buttons);
    layout->setContentsMargins(20, 16, 20, 16);

    connect(Initialisation, &QPushButton::clicked, this, &RecoveryWindow::initialise);
    connect(Quitter, &QPushButton::clicked, this, &RecoveryWindow::quitProgram);
}

void RecoveryWindow::initialise() {
    if (forgetStation_) forgetStation_();
    Quitter->setFocus();
}

void RecoveryWindow::quitProgram() {
    ctx_.quit(0);
    done(QDialog::Rejected);  // reached only where quitting does not end the process (tests)
}

void RecoveryWindow::reject() {
    quitProgram();
}

}  // namespace ui
