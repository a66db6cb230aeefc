#include "windows/entry/entry_form.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "core/base/program_constants.h"
#include "core/entry/entry_messages.h"
#include "core/logbook/log_messages.h"
#include "core/prefixes/lookup_messages.h"
#include "core/record/qso_record.h"
#include "core/record/station_callsign.h"
#include "platform/clock_text.h"
#include "platform/colours.h"
#include "platform/file_error_text.h"
#include "platform/text.h"
#include "platform/uppercase.h"
#include "windows/common/log_list_view.h"
#include "windows/common/named.h"
#include "windows/common/outcome_display.h"

namespace ui {

namespace msg = dxcc::entry_messages;

namespace {

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

EntryForm::EntryForm(AppContext& ctx, dxcc::LogSession& session, EntryEnvironment env,
                     QWidget* parent)
    : QGroupBox("Saisie ou modification d'un QSO", parent),
      ctx_(ctx),
      session_(session),
      env_(std::move(env)) {
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
    Besoin_DXCC = new NeededPanel(ctx_, session_, this);
    layout->addWidget(Besoin_DXCC);
    // The panel follows the callsign as it is typed, and the prefix field
    // once it is filled for that callsign (by its Enter, by an opened contact
    // or by hand); a band or mode change answers again at once.
    connect(Ind_A, &QLineEdit::textChanged, this, &EntryForm::showNeeded);
    connect(Ind_A, &QLineEdit::textEdited, this, &EntryForm::callsignEdited);
    connect(Prefixe_A, &QLineEdit::textChanged, this, [this] {
        prefixFieldCallsign_ = Ind_A->text();
        showNeeded();
    });
    connect(Bande_A, &QComboBox::editTextChanged, this, &EntryForm::showNeeded);
    connect(Mode_A, &QComboBox::editTextChanged, this, &EntryForm::showNeeded);

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
    Mode_Aff = named(new QLabel(fromView(msg::kModeEntry), this), "Mode_Aff");
    QPalette p = Mode_Aff->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    Mode_Aff->setPalette(p);
    QFont bold = Mode_Aff->font();
    bold.setBold(true);
    Mode_Aff->setFont(bold);
    Mode_Aff->setMinimumWidth(fontMetrics().horizontalAdvance(fromView(msg::kModeModification)) +
                              16);
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
    connect(Stat_Pref, &QPushButton::clicked, this, &EntryForm::prefixStatisticsWanted);
    row->addStretch();
    Rechercher = named(new QPushButton("Rechercher un QSO", this), "Rechercher");
    Rechercher->setAutoDefault(false);
    row->addWidget(Rechercher);
    connect(Rechercher, &QPushButton::clicked, this, &EntryForm::searchWanted);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void EntryForm::watchKeysAndList() {
    for (QWidget* w : {static_cast<QWidget*>(Bande_A), static_cast<QWidget*>(Mode_A),
                       static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Prenom_A),
                       static_cast<QWidget*>(Date_A), static_cast<QWidget*>(Heure_A),
                       static_cast<QWidget*>(RST_A), static_cast<QWidget*>(RSTE_A),
                       static_cast<QWidget*>(QSL_A)})
        w->installEventFilter(this);
    if (env_.model) connect(env_.model, &LogListModel::logChanged, this, &EntryForm::logChanged);
    if (!env_.list) return;
    connect(env_.list, &QAbstractItemView::clicked, this, &EntryForm::listClicked);
    if (auto* view = qobject_cast<LogListView*>(env_.list)) {
        connect(view, &LogListView::operatorMovedTo, this, &EntryForm::listClicked);
        connect(view, &LogListView::operatorOpened, this, &EntryForm::listDoubleClicked);
    }
    // A double-click anywhere in the list counts, on a line or below the last.
    listViewport_ = env_.list->viewport();
    listViewport_->installEventFilter(this);
}

void EntryForm::selectStoredPosition(QComboBox* box) {
    const dxcc::StationSettings& settings = session_.settings();
    const int index = box == Bande_A ? settings.bandPosition() : settings.modePosition();
    box->setCurrentIndex(index);
    // An editable box keeps a text typed or loaded from a line when its index
    // does not change, so the text is set as well.
    box->setEditText(index >= 0 ? box->itemText(index) : QString());
    shownFromLine(box).reset();
}

std::optional<QString>& EntryForm::shownFromLine(QComboBox* box) {
    return box == Bande_A ? bandFromLine_ : modeFromLine_;
}

void EntryForm::restoreBandAndMode() {
    restoreBand();
    selectStoredPosition(Mode_A);
}

void EntryForm::restoreBand() {
    selectStoredPosition(Bande_A);
    // The radio's band that the list lacks stays until the radio leaves it.
    if (radioBand_) showInBox(Bande_A, *radioBand_);
}

bool EntryForm::automaticDate() const {
    return session_.settings().automaticDate();
}

bool EntryForm::firstInstallation() const {
    return !session_.hasStation();
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
    const bool remember = !state_.modification();
    if (!enter) {
        // Stored once the box has handled the key, so an arrow key stores the
        // position it moves to.
        if (remember) QTimer::singleShot(0, this, [this, box] { saveBoxPosition(box, false); });
        return false;
    }
    const bool accepted = box == Bande_A ? enterChecked(Bande_A, dxcc::EntryField::Band, Mode_A)
                                         : enterChecked(Mode_A, dxcc::EntryField::Mode, Ind_A);
    if (accepted && remember) saveBoxPosition(box, true);
    return true;
}

void EntryForm::saveBoxPosition(QComboBox* box, bool enter) {
    std::optional<QString>& shown = shownFromLine(box);
    const std::string text = toCp1252(box->currentText());
    const dxcc::BoxChoice choice{text, shown && *shown == box->currentText(),
                                 box == Bande_A && radioBand_ && *radioBand_ == box->currentText(),
                                 enter};
    dxcc::StationSettings& settings = session_.settings();
    if (box == Bande_A ? settings.chooseBand(choice) : settings.chooseMode(choice)) shown.reset();
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
    // A new contact starts from the operator's band and mode, not from those
    // of the line last looked at.
    if (!state_.modification()) {
        if (bandFromLine_) restoreBand();
        if (modeFromLine_) selectStoredPosition(Mode_A);
    }
    recallFirstName(callsign);
    resolveCallsign(callsign);
    moveTo(Ind_A, Prenom_A);
}

bool EntryForm::inEntryMode() const {
    return state_.caption() == dxcc::EntryState::Caption::Entry && !state_.modification();
}

void EntryForm::selectBandAndMode(const QString& band, std::optional<size_t> mode) {
    if (!band.isEmpty()) selectBand(band);
    if (mode && int(*mode) < Mode_A->count() && !showsItem(Mode_A, int(*mode))) {
        Mode_A->setCurrentIndex(int(*mode));
        saveBoxPosition(Mode_A, true);
    }
}

bool EntryForm::showsItem(const QComboBox* box, int index) {
    return box->currentIndex() == index && box->currentText() == box->itemText(index);
}

void EntryForm::selectBand(const QString& band) {
    const int index = Bande_A->findText(band);
    if (index < 0) {
        // A band the list lacks ("60M"): shown as a line of the log shows it,
        // and stored so; the operator's own band stays stored for later.
        radioBand_ = band;
        bandFromLine_.reset();
        if (Bande_A->currentText() != band) showInBox(Bande_A, band);
        return;
    }
    radioBand_.reset();
    if (showsItem(Bande_A, index)) return;
    Bande_A->setCurrentIndex(index);
    Bande_A->setEditText(Bande_A->itemText(index));
    saveBoxPosition(Bande_A, true);
}

bool EntryForm::takeSpot(const QString& callsign, const QString& band, std::optional<size_t> mode) {
    if (!inEntryMode()) return false;
    selectBandAndMode(band, mode);
    Ind_A->setText(callsign);
    makeInputField(Ind_A);
    enterCallsign();
    return true;
}

bool EntryForm::showCallsign(const QString& callsign) {
    if (!inEntryMode()) return false;
    Ind_A->setText(callsign);
    callsignEdited();
    return true;
}

bool EntryForm::takeContact(std::string_view record) {
    if (!inEntryMode() || !Ind_A->text().trimmed().isEmpty()) return false;
    showRecord(record);
    // The contact's band and mode are its own, not a line looked at.
    bandFromLine_.reset();
    modeFromLine_.reset();
    for (QWidget* w : {static_cast<QWidget*>(Prenom_A), static_cast<QWidget*>(Date_A),
                       static_cast<QWidget*>(Heure_A), static_cast<QWidget*>(RST_A),
                       static_cast<QWidget*>(RSTE_A), static_cast<QWidget*>(Prefixe_A),
                       static_cast<QWidget*>(Pays_A), static_cast<QWidget*>(QSL_A)})
        w->setEnabled(true);
    makeInputField(Valide_A);
    return true;
}

void EntryForm::recallFirstName(const std::string& callsign) {
    // A contact being modified keeps the first name it was logged with.
    if (state_.modification()) return;
    try {
        if (auto name = session_.firstNames().lookup(callsign)) {
            Prenom_A->setEnabled(true);
            Prenom_A->setText(fromCp1252(*name));
        }
    } catch (const dxcc::FileError& e) {
        reportFileError(e);
    }
}

void EntryForm::resolveCallsign(const std::string& callsign) {
    dxcc::PrefixFile& prefixes = session_.prefixes();
    const dxcc::LookupResult found = prefixes.lookup(callsign);
    if (prefixes.unreadable() && !prefixFileReported_) {
        prefixFileReported_ = true;
        ctx_.dialogs->inform(fromView(msg::kPrefixFileUnreadable) + fromPath(prefixes.path()) +
                             fromView(msg::kPrefixFileUnreadableEnd));
    }
    // Said on Enter, once for the callsign: the contact counts for no entity.
    if (found.maritimeMobile())
        ctx_.dialogs->inform(fromView(dxcc::lookup_messages::kMaritimeMobile));
    if (dxcc::isNewPrefix(session_.log(), found.matchedPrefix))
        ctx_.dialogs->inform(fromView(msg::kNewPrefix) + fromCp1252(found.matchedPrefix) +
                             fromView(msg::kNewPrefixEntity) + fromCp1252(found.entityName));
    Prefixe_A->setEnabled(true);
    Prefixe_A->setText(fromCp1252(found.dxccPrefix));
    prefixFieldCallsign_ = Ind_A->text();
    Pays_A->setEnabled(true);
    Pays_A->setText(fromCp1252(found.entityName));
    showNeeded();
}

void EntryForm::enterFirstName() {
    if (refused(dxcc::checkEntryField(dxcc::EntryField::FirstName, toCp1252(Prenom_A->text()))))
        return;
    paintBackground(Prenom_A, kRestColour);
    Date_A->setEnabled(true);
    if (!state_.datesFromClock(automaticDate())) return makeInputField(Date_A);
    Date_A->setText(utcDateText(*ctx_.clock));
    Heure_A->setEnabled(true);
    Heure_A->setText(utcTimeText(*ctx_.clock));
    makeInputField(RST_A);
}

void EntryForm::moveTo(QWidget* from, QWidget* next) {
    paintBackground(from, kRestColour);
    makeInputField(next);
}

void EntryForm::makeInputField(QWidget* field) {
    if (inputField_ && inputField_ != field) paintBackground(inputField_, kRestColour);
    inputField_ = field;
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
    // A box's text that names one of its items is stored as that item exactly.
    t.band = dxcc::asListItem(toCp1252(Bande_A->currentText()), dxcc::kBands);
    t.mode = dxcc::asListItem(toCp1252(Mode_A->currentText()), dxcc::kModes);
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
    // A modification keeps the list locked through the reset: no line is
    // selected for it.
    const bool selectLast = !state_.listLocked();
    if (!ctx_.dialogs->askYesNo(fromView(msg::kConfirmCommit))) return postCommitReset(selectLast);
    Prenom_A->setText(fromCp1252(dxcc::upperCaseCp1252(toCp1252(Prenom_A->text()))));
    // On a failure the fields stay as they are, so nothing typed is lost.
    if (storeContact()) postCommitReset(selectLast);
}

bool EntryForm::storeContact() {
    const dxcc::EntryTexts texts = entryTexts();
    const dxcc::CommitOutcome outcome =
        session_.commitEntry(state_.commitAction(automaticDate()), dxcc::buildEntryRecord(texts),
                             texts.callsign, texts.firstName);
    if (!showOutcome(outcome)) return false;
    if (outcome.firstNameError)
        ctx_.dialogs->inform(fromView(dxcc::log_messages::kStoredButFirstNameLost) +
                             fileErrorText(*outcome.firstNameError));
    return true;
}

bool EntryForm::showOutcome(const dxcc::SessionOutcome& outcome) {
    if (env_.model) return showLogOutcome(*ctx_.dialogs, *env_.model, outcome);
    return outcome.ok();
}

void EntryForm::logChanged() {
    // Rows may now hold other contacts: forget what was picked by row.
    state_.forgetLines();
    Annule_Saisie->setEnabled(false);
    Besoin_DXCC->logChanged();
}

void EntryForm::showNeeded() {
    const std::string callsign = toCp1252(Ind_A->text());
    Besoin_DXCC->showFor(callsign, neededPrefix(callsign), toCp1252(Bande_A->currentText()),
                         toCp1252(Mode_A->currentText()));
}

void EntryForm::callsignEdited() {
    // In plain entry the prefix and entity fields follow the callsign typed,
    // so that no contact is stored with the entity of the callsign typed
    // before it. A contact being modified keeps its fields until Enter.
    if (state_.modification()) return;
    const std::string callsign = toCp1252(Ind_A->text());
    dxcc::LookupResult found;
    if (!dxcc::checkEntryField(dxcc::EntryField::Callsign, callsign))
        found = session_.prefixes().lookup(callsign);
    Prefixe_A->setText(fromCp1252(found.dxccPrefix));
    prefixFieldCallsign_ = Ind_A->text();
    Pays_A->setText(fromCp1252(found.entityName));
}

std::string EntryForm::neededPrefix(const std::string& callsign) const {
    // The prefix field, once filled for this very callsign, is what the
    // contact will be stored with.
    if (Ind_A->text() == prefixFieldCallsign_) return toCp1252(Prefixe_A->text());
    // While the callsign is typed: its own lookup, never a message. A text
    // the field would refuse on Enter has no entity.
    if (dxcc::checkEntryField(dxcc::EntryField::Callsign, callsign)) return {};
    return session_.prefixes().lookup(callsign).dxccPrefix;
}

void EntryForm::postCommitReset(bool selectLastLine) {
    if (selectLastLine) selectLastListLine();
    state_.reset();
    showCaption();
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
    resetReports();
    makeInputField(Ind_A);
    restoreBandAndMode();
}

void EntryForm::resetReports() {
    for (QLineEdit* e : {RST_A, RSTE_A}) {
        e->setText("59");
        e->setEnabled(false);
        paintBackground(e, kRestColour);
    }
    QSL_A->setChecked(false);
    QSL_A->setEnabled(false);
}

void EntryForm::Efface_QSO() {
    for (QLineEdit* e : {Prenom_A, Date_A, Heure_A, Prefixe_A, Pays_A}) {
        e->clear();
        e->setEnabled(false);
        paintBackground(e, kRestColour);
    }
    resetReports();
    Ind_A->clear();
    makeInputField(Ind_A);
    restoreBandAndMode();
    state_.reset();
    Annule_Saisie->setEnabled(false);
    disableCommit();
    showCaption();
}

void EntryForm::focusCallsign() {
    Ind_A->setEnabled(true);
    Ind_A->setFocus();
}

void EntryForm::disableCommit() {
    Valide_A->setEnabled(false);
    Valide_A->setPalette(commitPalette_);
}

void EntryForm::showCaption() {
    using C = dxcc::EntryState::Caption;
    switch (state_.caption()) {
        case C::Entry:
            return Mode_Aff->setText(fromView(msg::kModeEntry));
        case C::Insertion:
            return Mode_Aff->setText(fromView(msg::kModeInsertion));
        case C::Modification:
            return Mode_Aff->setText(fromView(msg::kModeModification));
    }
}

void EntryForm::startInsertion() {
    state_.startInsertion();
    showCaption();
    Ind_A->setFocus();
}

void EntryForm::deleteContact() {
    const auto& selected = state_.selected();
    if (!selected) return tell(msg::kClickToDelete);
    const dxcc::PickedLine line = *selected;
    if (ctx_.dialogs->askYesNoDestructive(fromView(msg::kConfirmDelete)) &&
        showOutcome(session_.deleteContact(line.row, line.record)))
        selectLastListLine();
    Annule_Saisie->setEnabled(false);
    Efface_QSO();
}

void EntryForm::selectRow(int row) {
    if (!env_.list || !env_.model || row < 0 || row >= env_.model->rowCount()) return;
    const QModelIndex index = env_.model->index(row);
    env_.list->setCurrentIndex(index);
    listClicked(index);
}

void EntryForm::selectLastListLine() {
    if (!env_.model || env_.model->rowCount() == 0) return;
    selectRow(env_.model->rowCount() - 1);
    env_.list->scrollToBottom();
}

void EntryForm::listClicked(const QModelIndex& index) {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= session_.log().size()) return;
    const std::string_view record = session_.log().record(index.row());
    if (!state_.click(index.row(), record)) return;
    Annule_Saisie->setEnabled(true);
    showRecord(record);
}

void EntryForm::listDoubleClicked() {
    switch (state_.doubleClick()) {
        case dxcc::EntryState::Opening::Ignored:
            return;
        case dxcc::EntryState::Opening::NothingSelected:
            return tell(msg::kClickToEdit);
        case dxcc::EntryState::Opening::Opened:
            break;
    }
    for (QWidget* w : {static_cast<QWidget*>(Ind_A), static_cast<QWidget*>(Prenom_A),
                       static_cast<QWidget*>(Date_A), static_cast<QWidget*>(Heure_A),
                       static_cast<QWidget*>(Mode_A), static_cast<QWidget*>(Bande_A),
                       static_cast<QWidget*>(RST_A), static_cast<QWidget*>(RSTE_A),
                       static_cast<QWidget*>(Prefixe_A), static_cast<QWidget*>(Pays_A),
                       static_cast<QWidget*>(QSL_A), static_cast<QWidget*>(Valide_A)})
        w->setEnabled(true);
    showCaption();
    showRecord(state_.opened()->record);
    makeInputField(Ind_A);
}

void EntryForm::showRecord(std::string_view record) {
    const dxcc::QsoFields f = dxcc::parseRecord(record);
    auto trimmed = [](const std::string& s) { return fromCp1252(dxcc::trimBlanks(s)); };
    Ind_A->setText(trimmed(f.callsign));
    Prenom_A->setText(trimmed(f.firstName));
    Date_A->setText(fromCp1252(f.date));
    Heure_A->setText(fromCp1252(f.time));
    showInBox(Mode_A, trimmed(f.mode));
    showInBox(Bande_A, trimmed(f.band));
    modeFromLine_ = Mode_A->currentText();
    bandFromLine_ = Bande_A->currentText();
    RST_A->setText(trimmed(f.rstReceived));
    RSTE_A->setText(trimmed(f.rstSent));
    Prefixe_A->setText(trimmed(f.dxccPrefix));
    prefixFieldCallsign_ = Ind_A->text();
    Pays_A->setText(trimmed(f.entityName));
    QSL_A->setChecked(f.qslMark == '*');
    showNeeded();
}

}  // namespace ui
