#include "entry/entry_form.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "entry/entry_messages.h"
#include "logbook/program_constants.h"
#include "logbook/qso_record.h"
#include "logbook/station_callsign.h"
#include "ui/colours.h"
#include "ui/file_error_text.h"
#include "ui/text.h"
#include "ui/uppercase.h"

namespace ui {

namespace msg = dxcc::entry_messages;

namespace {

template <class W>
W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

std::filesystem::path dataFile(const QString& dataDir, std::string_view name) {
    return std::filesystem::path(dataDir.toStdString()) / std::string(name);
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Selects the item that reads `text` (band labels carry trailing blanks that
// the list line loses), so the arrow keys move on from it; else shows the text.
void showInBox(QComboBox* box, const QString& text) {
    int index = -1;
    for (int i = 0; i < box->count() && index < 0; ++i)
        if (box->itemText(i).trimmed() == text) index = i;
    box->setCurrentIndex(index);
    box->setEditText(index >= 0 ? box->itemText(index) : text);
}

QString textOf(const QWidget* field) {
    if (auto* edit = qobject_cast<const QLineEdit*>(field)) return edit->text();
    if (auto* box = qobject_cast<const QComboBox*>(field)) return box->currentText();
    return {};
}

}  // namespace

EntryForm::EntryForm(AppContext& ctx, EntryEnvironment env, QWidget* parent)
    : QGroupBox("Saisie ou modification d'un QSO", parent),
      ctx_(ctx),
      env_(std::move(env)),
      prefixes_(dataFile(ctx.dataDir, dxcc::kPrefixFileName)),
      firstNames_(std::filesystem::path(ctx.dataDir.toStdString())) {
    setObjectName("Frame_Saisie");
    buildFields();
    buildButtons();
    watchKeysAndList();
}

void EntryForm::buildFields() {
    Bande_A = named(new QComboBox(this), "Bande_A");
    Mode_A = named(new QComboBox(this), "Mode_A");
    for (QComboBox* box : {Bande_A, Mode_A}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        installUppercaseRule(box->lineEdit());
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
        installUppercaseRule(e);

    struct Column {
        const char* caption;
        QWidget* field;
        int minChars;
        int stretch;
    };
    const Column columns[] = {
        {"Bande", Bande_A, 7, 0},
        {"Mode", Mode_A, 4, 0},
        {"Indicatif", Ind_A, 13, 2},
        {"Prénom (optionnel)", Prenom_A, 16, 2},
        {"Date", Date_A, 7, 0},
        {"Heure UTC", Heure_A, 5, 0},
        {"RST R", RST_A, 3, 0},
        {"RST E", RSTE_A, 3, 0},
        {"QSL", QSL_A, 0, 0},
        {"Préfixe", Prefixe_A, 5, 0},
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
        // Short fields keep the width of their text; the long ones share the rest.
        const int width =
            c.minChars * charWidth + (c.field == Bande_A || c.field == Mode_A ? 28 : 10);
        if (c.minChars > 0 && c.stretch == 0) c.field->setFixedWidth(width);
        if (c.minChars > 0 && c.stretch > 0) c.field->setMinimumWidth(width);
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
    commitPalette_ = Valide_A->palette();
    connect(Valide_A, &QPushButton::clicked, this, &EntryForm::commit);
    connect(Efface_A, &QPushButton::clicked, this, &EntryForm::Efface_QSO);
    connect(Annule_Saisie, &QPushButton::clicked, this, &EntryForm::deleteContact);
    connect(Ajout_QSO, &QPushButton::clicked, this, &EntryForm::startInsertion);
    connect(Stat_Pref, &QPushButton::clicked, this, [this] {
        if (env_.openPrefixStatistics) env_.openPrefixStatistics();
    });
    row->addStretch();
    buttonRow_ = row;
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void EntryForm::watchKeysAndList() {
    for (QWidget* w : {static_cast<QWidget*>(Bande_A), static_cast<QWidget*>(Mode_A),
                       static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Prenom_A),
                       static_cast<QWidget*>(Date_A), static_cast<QWidget*>(Heure_A),
                       static_cast<QWidget*>(RST_A), static_cast<QWidget*>(RSTE_A),
                       static_cast<QWidget*>(QSL_A)})
        w->installEventFilter(this);
    for (QPushButton* b : {Valide_A, Efface_A, Annule_Saisie, Ajout_QSO, Stat_Pref})
        b->installEventFilter(this);
    if (!env_.list || !env_.list->selectionModel()) return;  // the list comes with its model
    connect(env_.list, &QAbstractItemView::clicked, this, &EntryForm::listClicked);
    // A double-click anywhere in the list counts, on a line or below the last.
    listViewport_ = env_.list->viewport();
    listViewport_->installEventFilter(this);
    connect(env_.list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!selectingByProgram_) listClicked(current);
            });
}

QString EntryForm::stationSection() const {
    return fromView(dxcc::kStationSectionPrefix) + fromCp1252(env_.stationCallsign());
}

void EntryForm::selectStoredPosition(QComboBox* box, std::string_view key) {
    const QString value = ctx_.settings->get(stationSection(), fromView(key), "0");
    const int index = dxcc::listIndexFromSetting(value.toStdString(), box->count());
    box->setCurrentIndex(index);
    // An editable box keeps a text typed or loaded from a line when its index
    // does not change, so the text is set as well.
    box->setEditText(index >= 0 ? box->itemText(index) : QString());
}

void EntryForm::restoreBandAndMode() {
    selectStoredPosition(Bande_A, dxcc::kKeyBandIndex);
    selectStoredPosition(Mode_A, dxcc::kKeyModeIndex);
}

bool EntryForm::automaticDate() const {
    return env_.dateAuto && env_.dateAuto->isChecked();
}

bool EntryForm::firstInstallation() const {
    return env_.stationCallsign && env_.stationCallsign() == dxcc::kNoStation;
}

bool EntryForm::eventFilter(QObject* watched, QEvent* event) {
    // Compared, never called: the list may be partly destroyed when it is the
    // first to go.
    if (watched == listViewport_) {
        if (event->type() == QEvent::MouseButtonDblClick) listDoubleClicked();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QGroupBox::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = isEnter(key);
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
        // Enter on a button presses it, as Space does.
        if (enter && button->isEnabled()) button->click();
        return enter;
    }
    if (watched == Ind_A && firstInstallation()) {
        if (!key->text().isEmpty()) tell(msg::kFirstInstallation);
        return enter;
    }
    if (watched == Bande_A || watched == Mode_A)
        return boxKey(static_cast<QComboBox*>(watched), enter);
    if (!enter) return false;
    enterIn(watched);
    return true;
}

bool EntryForm::boxKey(QComboBox* box, bool enter) {
    const bool remember = !modification_;
    if (!enter) {
        // Stored once the box has handled the key, so an arrow key stores the
        // position it moves to.
        if (remember) QTimer::singleShot(0, this, [this, box] { saveBoxPosition(box); });
        return false;
    }
    const bool accepted = box == Bande_A ? enterChecked(Bande_A, dxcc::EntryField::Band, Mode_A)
                                         : enterChecked(Mode_A, dxcc::EntryField::Mode, Ind_A);
    if (accepted && remember) saveBoxPosition(box);
    return true;
}

void EntryForm::saveBoxPosition(QComboBox* box) {
    const int index = box->findText(box->currentText());
    const std::string_view key = box == Bande_A ? dxcc::kKeyBandIndex : dxcc::kKeyModeIndex;
    ctx_.settings->set(stationSection(), fromView(key), QString::number(index));
}

void EntryForm::enterIn(QObject* field) {
    using F = dxcc::EntryField;
    if (field == Ind_A) return enterCallsign();
    if (field == Prenom_A) return enterFirstName();
    if (field == Date_A) enterChecked(Date_A, F::Date, Heure_A);
    if (field == Heure_A) enterChecked(Heure_A, F::Time, RST_A);
    if (field == RST_A) enterChecked(RST_A, F::RstReceived, RSTE_A);
    if (field == RSTE_A) enterChecked(RSTE_A, F::RstSent, QSL_A);
    if (field == QSL_A) moveTo(QSL_A, Valide_A);
}

bool EntryForm::enterChecked(QWidget* field, dxcc::EntryField kind, QWidget* next) {
    if (refused(dxcc::checkEntryField(kind, toCp1252(textOf(field))))) return false;
    moveTo(field, next);
    return true;
}

void EntryForm::enterCallsign() {
    if (refused(dxcc::checkEntryField(dxcc::EntryField::Callsign, toCp1252(Ind_A->text())))) return;
    const std::string callsign = toCp1252(Ind_A->text());
    recallFirstName(callsign);
    resolveCallsign(callsign);
    moveTo(Ind_A, Prenom_A);
}

void EntryForm::recallFirstName(const std::string& callsign) {
    // A contact being modified keeps the first name it was logged with.
    if (modification_) return;
    try {
        if (auto name = firstNames_.lookup(callsign)) {
            Prenom_A->setEnabled(true);
            Prenom_A->setText(fromCp1252(*name));
        }
    } catch (const dxcc::FileError& e) {
        reportFileError(e);
    }
}

void EntryForm::resolveCallsign(const std::string& callsign) {
    const dxcc::LookupResult found = prefixes_.lookup(callsign);
    if (prefixes_.unreadable() && !prefixFileReported_) {
        prefixFileReported_ = true;
        ctx_.dialogs->inform(fromView(msg::kPrefixFileUnreadable) +
                             QString::fromStdString(prefixes_.path().string()) +
                             fromView(msg::kPrefixFileUnreadableEnd));
    }
    if (env_.model && dxcc::isNewPrefix(env_.model->logbook(), found.matchedPrefix))
        ctx_.dialogs->inform(fromView(msg::kNewPrefix) + fromCp1252(found.matchedPrefix) +
                             fromView(msg::kNewPrefixEntity) + fromCp1252(found.entityName));
    Prefixe_A->setEnabled(true);
    Prefixe_A->setText(fromCp1252(found.dxccPrefix));
    Pays_A->setEnabled(true);
    Pays_A->setText(fromCp1252(found.entityName));
}

void EntryForm::enterFirstName() {
    if (refused(dxcc::checkEntryField(dxcc::EntryField::FirstName, toCp1252(Prenom_A->text()))))
        return;
    paintBackground(Prenom_A, kRestColour);
    Date_A->setEnabled(true);
    if (!automaticDate() || insertion_ || modification_) return makeInputField(Date_A);
    Date_A->setText(env_.utcDateLabel ? env_.utcDateLabel->text() : QString());
    Heure_A->setEnabled(true);
    Heure_A->setText(env_.utcTimeLabel ? env_.utcTimeLabel->text().left(5) : QString());
    makeInputField(RST_A);
}

void EntryForm::moveTo(QWidget* from, QWidget* next) {
    paintBackground(from, kRestColour);
    makeInputField(next);
}

void EntryForm::makeInputField(QWidget* field) {
    field->setEnabled(true);
    paintBackground(field, kInputColour);
    field->setFocus();
}

bool EntryForm::refused(std::optional<std::string_view> message) {
    if (!message) return false;
    tell(*message);
    return true;
}

void EntryForm::tell(std::string_view message) {
    ctx_.dialogs->inform(fromView(message));
}

void EntryForm::reportFileError(const dxcc::FileError& e) {
    ctx_.dialogs->inform(fileErrorText(e));
}

dxcc::EntryTexts EntryForm::entryTexts() const {
    dxcc::EntryTexts t;
    t.band = toCp1252(Bande_A->currentText());
    t.mode = toCp1252(Mode_A->currentText());
    t.callsign = toCp1252(Ind_A->text());
    t.firstName = toCp1252(Prenom_A->text());
    t.date = toCp1252(Date_A->text());
    t.time = toCp1252(Heure_A->text());
    t.rstReceived = toCp1252(RST_A->text());
    t.rstSent = toCp1252(RSTE_A->text());
    t.dxccPrefix = toCp1252(Prefixe_A->text());
    t.entityName = toCp1252(Pays_A->text());
    t.qsl = QSL_A->isChecked();
    return t;
}

QWidget* EntryForm::fieldOf(dxcc::EntryField field) const {
    using F = dxcc::EntryField;
    switch (field) {
        case F::Band:
            return Bande_A;
        case F::Mode:
            return Mode_A;
        case F::Callsign:
            return Ind_A;
        case F::FirstName:
            return Prenom_A;
        case F::Date:
            return Date_A;
        case F::Time:
            return Heure_A;
        case F::RstReceived:
            return RST_A;
        case F::RstSent:
            return RSTE_A;
        case F::DxccPrefix:
            return Prefixe_A;
        case F::EntityName:
            return Pays_A;
    }
    return Ind_A;
}

void EntryForm::commit() {
    // Fields edited after their Enter, or never entered in a modification,
    // are checked again so that nothing malformed reaches the log.
    if (auto refusal = dxcc::checkEntryTexts(entryTexts())) {
        tell(refusal->message);
        makeInputField(fieldOf(refusal->field));
        return;
    }
    if (!ctx_.dialogs->askYesNo(fromView(msg::kConfirmCommit))) return postCommitReset();
    Prenom_A->setText(fromCp1252(dxcc::upperCaseCp1252(toCp1252(Prenom_A->text()))));
    // On a failure the fields stay as they are, so nothing typed is lost.
    if (storeContact()) postCommitReset();
}

bool EntryForm::storeContact() {
    const dxcc::EntryTexts texts = entryTexts();
    try {
        firstNames_.update(texts.callsign, texts.firstName);
    } catch (const dxcc::FileError& e) {
        reportFileError(e);
        return false;
    }
    if (!env_.model || !env_.runLogOperation) return false;
    dxcc::Logbook& log = env_.model->logbook();
    const std::string record = dxcc::buildEntryRecord(texts);
    if (modification_) {
        const std::string old = dxcc::recordFromDisplayLine(toCp1252(selectedLine_));
        if (!env_.runLogOperation([&] { log.modify(record, old); })) return false;
        // The list stays locked through the reset, so no click replaces the
        // opened line, which the log no longer holds: forget it rather than
        // offer a deletion that would find nothing.
        selectedLine_.clear();
        Annule_Saisie->setEnabled(false);
        return true;
    }
    if (automaticDate() && !insertion_) return env_.runLogOperation([&] { log.appendQso(record); });
    return env_.runLogOperation([&] { log.insertInDateOrder(record); });
}

void EntryForm::postCommitReset() {
    selectLastListLine();  // ignored while a modification still locks the list
    modification_ = insertion_ = listLock_ = false;
    setModeCaption(msg::kModeEntry);
    disableCommit();
    for (QLineEdit* e : {Ind_A, Prenom_A, Heure_A, Prefixe_A, Pays_A}) e->clear();
    // With the manual date the next contact starts from the date shown.
    if (automaticDate()) Date_A->clear();
    for (QLineEdit* e : {Ind_A, Prenom_A, Date_A, Heure_A, Prefixe_A, Pays_A}) {
        e->setEnabled(false);
        paintBackground(e, kRestColour);
    }
    paintBackground(Mode_A, kRestColour);
    paintBackground(Bande_A, kRestColour);
    for (QLineEdit* e : {RST_A, RSTE_A}) {
        e->setText("59");
        e->setEnabled(false);
        paintBackground(e, kRestColour);
    }
    QSL_A->setChecked(false);
    QSL_A->setEnabled(false);
    makeInputField(Ind_A);
    restoreBandAndMode();
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
    makeInputField(Ind_A);
    restoreBandAndMode();
    modification_ = listLock_ = insertion_ = false;
    Annule_Saisie->setEnabled(false);
    disableCommit();
    setModeCaption(msg::kModeEntry);
}

void EntryForm::disableCommit() {
    Valide_A->setEnabled(false);
    Valide_A->setPalette(commitPalette_);
}

void EntryForm::setModeCaption(std::string_view caption) {
    Mode_Aff->setText(fromView(caption));
}

void EntryForm::startInsertion() {
    insertion_ = true;
    setModeCaption(msg::kModeInsertion);
    Ind_A->setFocus();
}

void EntryForm::deleteContact() {
    if (selectedLine_.isEmpty()) return tell(msg::kClickToDelete);
    const std::string record = dxcc::recordFromDisplayLine(toCp1252(selectedLine_));
    if (ctx_.dialogs->askYesNo(fromView(msg::kConfirmDelete)) && env_.model &&
        env_.runLogOperation([&] { env_.model->logbook().remove(record); }))
        selectLastListLine();
    Annule_Saisie->setEnabled(false);
    Efface_QSO();
}

void EntryForm::selectRow(int row) {
    if (!env_.list || !env_.model || row < 0 || row >= env_.model->rowCount()) return;
    const QModelIndex index = env_.model->index(row);
    selectingByProgram_ = true;
    env_.list->setCurrentIndex(index);
    selectingByProgram_ = false;
    listClicked(index);
}

void EntryForm::selectLastListLine() {
    if (!env_.model || env_.model->rowCount() == 0) return;
    selectRow(env_.model->rowCount() - 1);
    env_.list->scrollToBottom();
}

void EntryForm::listClicked(const QModelIndex& index) {
    if (listLock_ || !index.isValid()) return;
    selectedLine_ = index.data(Qt::DisplayRole).toString();
    Annule_Saisie->setEnabled(true);
    showLine(selectedLine_);
}

void EntryForm::listDoubleClicked() {
    if (listLock_) return;
    if (selectedLine_.isEmpty()) return tell(msg::kClickToEdit);
    listLock_ = modification_ = true;
    for (QWidget* w : {static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Prenom_A),
                       static_cast<QWidget*>(Date_A), static_cast<QWidget*>(Heure_A),
                       static_cast<QWidget*>(Mode_A), static_cast<QWidget*>(Bande_A),
                       static_cast<QWidget*>(RST_A), static_cast<QWidget*>(RSTE_A),
                       static_cast<QWidget*>(Prefixe_A), static_cast<QWidget*>(Pays_A),
                       static_cast<QWidget*>(QSL_A), static_cast<QWidget*>(Valide_A)})
        w->setEnabled(true);
    setModeCaption(msg::kModeModification);
    showLine(selectedLine_);
    makeInputField(Ind_A);
}

void EntryForm::showLine(const QString& displayLine) {
    const dxcc::QsoFields f = dxcc::parseDisplayLine(toCp1252(displayLine));
    auto trimmed = [](const std::string& s) { return fromCp1252(dxcc::trimBlanks(s)); };
    Ind_A->setText(trimmed(f.callsign));
    Prenom_A->setText(trimmed(f.firstName));
    Date_A->setText(fromCp1252(f.date));
    Heure_A->setText(fromCp1252(f.time));
    showInBox(Mode_A, trimmed(f.mode));
    showInBox(Bande_A, trimmed(f.band));
    RST_A->setText(trimmed(f.rstReceived));
    RSTE_A->setText(trimmed(f.rstSent));
    Prefixe_A->setText(trimmed(f.dxccPrefix));
    Pays_A->setText(trimmed(f.entityName));
    QSL_A->setChecked(f.qslMark == '*');
}

}  // namespace ui
