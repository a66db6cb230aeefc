#include "entry/entry_form.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "logbook/program_constants.h"
#include "logbook/station_callsign.h"
#include "ui/colours.h"
#include "ui/text.h"
#include "ui/uppercase.h"

namespace ui {

namespace {

template <class W>
W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

}  // namespace

EntryForm::EntryForm(AppContext& ctx, EntryEnvironment env, QWidget* parent)
    : QGroupBox("Saisie ou modification d'un QSO", parent), ctx_(ctx), env_(std::move(env)) {
    setObjectName("Frame_Saisie");
    buildFields();
    buildButtons();
}

void EntryForm::buildFields() {
    Bande_A = named(new QComboBox(this), "Bande_A");
    Mode_A = named(new QComboBox(this), "Mode_A");
    for (QComboBox* box : {Bande_A, Mode_A}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->lineEdit()->setValidator(new UppercaseValidator(box));
    }
    for (auto band : dxcc::kBands) Bande_A->addItem(fromView(band));
    for (auto mode : dxcc::kModes) Mode_A->addItem(fromView(mode));

    Ind_A = named(new QLineEdit(this), "Ind_A");
    Prenom_A = named(new QLineEdit(this), "Prenom_A");
    Date_A = named(new QLineEdit(this), "Date_A");
    Heure_A = named(new QLineEdit(this), "Heure_A");
    RST_A = named(new QLineEdit("59", this), "RST_A");
    RSTE_A = named(new QLineEdit("59", this), "RSTE_A");
    QSL_A = named(new QCheckBox(this), "QSL_A");
    Prefixe_A = named(new QLineEdit(this), "Prefixe_A");
    Pays_A = named(new QLineEdit(this), "Pays_A");
    for (QLineEdit* e : {Ind_A, Prenom_A, Date_A, Heure_A, RST_A, RSTE_A, Prefixe_A, Pays_A})
        e->setValidator(new UppercaseValidator(e));

    struct Column {
        const char* caption;
        QWidget* field;
        int minChars;
        int stretch;
    };
    const Column columns[] = {
        {"Bande", Bande_A, 9, 0},      {"Mode", Mode_A, 6, 0},
        {"Indicatif", Ind_A, 13, 2},   {"Prénom (optionnel)", Prenom_A, 16, 2},
        {"Date", Date_A, 9, 0},        {"Heure UTC", Heure_A, 6, 0},
        {"RST R", RST_A, 4, 0},        {"RST E", RSTE_A, 4, 0},
        {"QSL", QSL_A, 0, 0},          {"Préfixe", Prefixe_A, 7, 0},
        {"Contrée DXCC", Pays_A, 24, 4},
    };
    auto* grid = new QGridLayout;
    const int charWidth = fontMetrics().horizontalAdvance('M');
    for (int i = 0; i < static_cast<int>(std::size(columns)); ++i) {
        const Column& c = columns[i];
        auto* label = new QLabel(c.caption, this);
        label->setBuddy(c.field);
        grid->addWidget(label, 0, i, Qt::AlignLeft | Qt::AlignBottom);
        grid->addWidget(c.field, 1, i, c.field == QSL_A ? Qt::AlignCenter : Qt::Alignment());
        if (c.minChars > 0) c.field->setMinimumWidth(c.minChars * charWidth);
        grid->setColumnStretch(i, c.stretch);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);

    for (QWidget* w : {static_cast<QWidget*>(Bande_A), static_cast<QWidget*>(Mode_A),
                       static_cast<QWidget*>(Prenom_A), static_cast<QWidget*>(Date_A),
                       static_cast<QWidget*>(Heure_A), static_cast<QWidget*>(RST_A),
                       static_cast<QWidget*>(RSTE_A), static_cast<QWidget*>(Prefixe_A),
                       static_cast<QWidget*>(Pays_A)})
        paintBackground(w, kRestColour);
    paintBackground(Ind_A, kInputColour);
    for (QWidget* w : {static_cast<QWidget*>(Prenom_A), static_cast<QWidget*>(Date_A),
                       static_cast<QWidget*>(Heure_A), static_cast<QWidget*>(RST_A),
                       static_cast<QWidget*>(RSTE_A), static_cast<QWidget*>(QSL_A),
                       static_cast<QWidget*>(Prefixe_A), static_cast<QWidget*>(Pays_A)})
        w->setEnabled(false);
}

void EntryForm::buildButtons() {
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel("Mode de saisie", this);
    Mode_Aff = named(new QLabel("Saisie QSO", this), "Mode_Aff");
    QPalette p = Mode_Aff->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    Mode_Aff->setPalette(p);
    QFont bold = Mode_Aff->font();
    bold.setBold(true);
    Mode_Aff->setFont(bold);
    Mode_Aff->setMinimumWidth(fontMetrics().horizontalAdvance("Modification QSO") + 16);
    row->addWidget(caption);
    row->addWidget(Mode_Aff);
    row->addSpacing(12);

    Valide_A = named(new QPushButton("Valider le QSO", this), "Valide_A");
    Efface_A = named(new QPushButton("Annuler saisie en cours", this), "Efface_A");
    Annule_Saisie = named(new QPushButton("Supprimer un QSO", this), "Annule_Saisie");
    Ajout_QSO = named(new QPushButton("Inserer un QSO", this), "Ajout_QSO");
    Stat_Pref = named(new QPushButton("Statistiques préfixe", this), "Stat_Pref");
    for (QPushButton* b : {Valide_A, Efface_A, Annule_Saisie, Ajout_QSO, Stat_Pref}) {
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    Valide_A->setEnabled(false);
    Annule_Saisie->setEnabled(false);
    connect(Efface_A, &QPushButton::clicked, this, &EntryForm::Efface_QSO);
    connect(Stat_Pref, &QPushButton::clicked, this, [this] {
        if (env_.openPrefixStatistics) env_.openPrefixStatistics();
    });
    row->addStretch();
    buttonRow_ = row;
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

QString EntryForm::stationSection() const {
    return fromView(dxcc::kStationSectionPrefix) + fromCp1252(env_.stationCallsign());
}

void EntryForm::selectStoredPosition(QComboBox* box, const char* key) {
    QString value = ctx_.settings->get(stationSection(), key, "0");
    box->setCurrentIndex(dxcc::listIndexFromSetting(value.toStdString(), box->count()));
}

void EntryForm::restoreBandAndMode() {
    selectStoredPosition(Bande_A, dxcc::kKeyBandIndex.data());
    selectStoredPosition(Mode_A, dxcc::kKeyModeIndex.data());
}

void EntryForm::selectRow(int row) {
    if (!env_.list || !env_.model || row < 0) return;
    env_.list->setCurrentIndex(env_.model->index(row));
}

void EntryForm::Efface_QSO() {
    for (QLineEdit* e : {Prenom_A, Date_A, Heure_A, Prefixe_A, Pays_A}) {
        e->clear();
        e->setEnabled(false);
        paintBackground(e, kRestColour);
    }
    for (QLineEdit* e : {RST_A, RSTE_A}) {
        e->setText("59");
        e->setEnabled(false);
        paintBackground(e, kRestColour);
    }
    QSL_A->setChecked(false);
    QSL_A->setEnabled(false);
    Ind_A->clear();
    paintBackground(Ind_A, kInputColour);
    Ind_A->setEnabled(true);
    Ind_A->setFocus();
    restoreBandAndMode();
    Annule_Saisie->setEnabled(false);
    Valide_A->setEnabled(false);
    Mode_Aff->setText("Saisie QSO");
}

}  // namespace ui
