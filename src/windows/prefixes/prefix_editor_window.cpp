#include "windows/prefixes/prefix_editor_window.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/prefixes/prefix_editor_messages.h"
#include "platform/colours.h"
#include "platform/column_list.h"
#include "platform/file_error_text.h"
#include "platform/text.h"
#include "platform/uppercase.h"
#include "windows/common/log_list_view.h"
#include "windows/prefixes/prefix_list_model.h"

namespace ui {

namespace {

namespace msg = dxcc::prefix_editor_messages;
using dxcc::PrefixField;

QLabel* label(std::string_view text, const char* name, QWidget* parent) {
    auto* l = new QLabel(fromView(text), parent);
    l->setObjectName(name);
    return l;
}

QPushButton* button(std::string_view text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(fromView(text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

bool isEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The heading starts one column left of the list's text (see prefixListHeading).
constexpr int kHeadingColumnsLeft = 1;
// Lines shown before the list scrolls.
constexpr int kLinesShown = 18;

}  // namespace

PrefixEditorWindow::PrefixEditorWindow(AppContext& ctx, dxcc::LogSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx), session_(session), editor_(session.dataDir()) {
    setObjectName("Ajout_Prefixe");
    setWindowTitle(fromView(msg::kCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(10);
    buildFields();
    buildList();
    open();
}

PrefixEditorWindow::~PrefixEditorWindow() = default;

void PrefixEditorWindow::buildFields() {
    Label2 = label(msg::kTitle, "Label2", this);
    QFont title = Label2->font();
    title.setPointSize(title.pointSize() + 3);
    title.setBold(true);
    Label2->setFont(title);
    static_cast<QVBoxLayout*>(layout())->addWidget(Label2, 0, Qt::AlignHCenter);

    Label3 = label(msg::kCallsignPrefixLabel, "Label3", this);
    Label5 = label(msg::kCallsignPrefixExample, "Label5", this);
    Label4 = label(msg::kEntityNameLabel, "Label4", this);
    Label6 = label(msg::kEntityNameExample, "Label6", this);
    Label1 = label(msg::kDxccPrefixLabel, "Label1", this);
    Label7 = label(msg::kDxccPrefixExample, "Label7", this);
    N_Prefixe = new QLineEdit(this);
    N_Prefixe->setObjectName("N_Prefixe");
    N_Pays = new QLineEdit(this);
    N_Pays->setObjectName("N_Pays");
    N_DXCC = new QLineEdit(this);
    N_DXCC->setObjectName("N_DXCC");
    // The prefixes in capitals; the entity name as typed. None takes a line break.
    installUppercaseRule(N_Prefixe);
    installUppercaseRule(N_Pays, false, false);
    installUppercaseRule(N_DXCC);

    const QFontMetrics metrics = fontMetrics();
    const int shortWidth = metrics.horizontalAdvance(QString(10, QLatin1Char('M')));
    // Room for a whole callsign when the exact calls are edited.
    N_Prefixe->setFixedWidth(
        metrics.horizontalAdvance(QString(dxcc::kEditorExactCallMax + 1, QLatin1Char('M'))));
    N_DXCC->setFixedWidth(shortWidth);
    N_Pays->setMinimumWidth(
        metrics.horizontalAdvance(QString(dxcc::kEditorEntityNameMax + 2, 'n')));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    const std::array<std::array<QWidget*, 3>, 3> rows{{
        {Label3, N_Prefixe, Label5},
        {Label4, N_Pays, Label6},
        {Label1, N_DXCC, Label7},
    }};
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(rows[r][0], r, 0);
        grid->addWidget(rows[r][1], r, 1, Qt::AlignLeft);
        grid->addWidget(rows[r][2], r, 2);
        static_cast<QLabel*>(rows[r][0])->setBuddy(rows[r][1]);
        rows[r][1]->installEventFilter(this);
    }
    Indicatif_Exact = new QCheckBox(fromView(msg::kExactCallCheck), this);
    Indicatif_Exact->setObjectName("Indicatif_Exact");
    grid->addWidget(Indicatif_Exact, 0, 3);
    connect(Indicatif_Exact, &QCheckBox::toggled, this, &PrefixEditorWindow::showExactCalls);
    grid->setColumnStretch(3, 1);
    buildButtons(grid);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

void PrefixEditorWindow::buildButtons(QGridLayout* grid) {
    Enregistrer = button(msg::kSaveButton, "Enregistrer", this);
    Supprimer = button(msg::kDeleteButton, "Supprimer", this);
    Clear_P = button(msg::kClearButton, "Clear_P", this);
    Command1 = button(msg::kEntityListButton, "Command1", this);
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    for (QPushButton* b : {Enregistrer, Supprimer, Clear_P, Command1}) column->addWidget(b);
    column->addStretch();
    grid->addLayout(column, 0, 4, 4, 1);

    connect(Enregistrer, &QPushButton::clicked, this, &PrefixEditorWindow::save);
    connect(Supprimer, &QPushButton::clicked, this, &PrefixEditorWindow::removeSelected);
    connect(Clear_P, &QPushButton::clicked, this, &PrefixEditorWindow::clearInputs);
    connect(Command1, &QPushButton::clicked, this, &PrefixEditorWindow::entityListWanted);
}

void PrefixEditorWindow::buildList() {
    Frame1 = new QGroupBox(fromView(msg::kListFrameCaption), this);
    Frame1->setObjectName("Frame1");
    auto* list = new LogListView(Frame1);
    Liste_DXCC = list;
    Liste_DXCC->setObjectName("Liste_DXCC");
    setUpColumnList(Liste_DXCC);
    model_ = new PrefixListModel(editor_, this);
    Liste_DXCC->setModel(model_);
    Liste_DXCC->installEventFilter(this);
    // A press picks a line, so the release that ends a double-click does not
    // undo the edit it opened.
    connect(Liste_DXCC, &QAbstractItemView::pressed, this, &PrefixEditorWindow::clicked);
    connect(list, &LogListView::operatorMovedTo, this, &PrefixEditorWindow::clicked);
    connect(Liste_DXCC, &QAbstractItemView::doubleClicked, this,
            &PrefixEditorWindow::doubleClicked);

    Label9 = new QLabel(fromView(dxcc::prefixListHeading()), Frame1);
    Label9->setObjectName("Label9");
    alignHeadingWith(Label9, Liste_DXCC, kHeadingColumnsLeft);

    const QFontMetrics metrics(Liste_DXCC->font());
    // The longer of the two kinds of line, so switching never clips one.
    const int lineWidth = metrics.horizontalAdvance(
        QString(std::max(dxcc::kPrefixEntryLength, dxcc::kExactCallLength) + 2, QLatin1Char('M')));
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    Liste_DXCC->setMinimumWidth(lineWidth + scrollBar + 2 * listTextLeft(Liste_DXCC));
    Liste_DXCC->setMinimumHeight(metrics.lineSpacing() * kLinesShown);

    auto* frame = new QVBoxLayout(Frame1);
    frame->setSpacing(2);
    frame->addWidget(Label9);
    auto* indented = new QHBoxLayout;
    indented->setContentsMargins(headingOverhang(Liste_DXCC, kHeadingColumnsLeft), 0, 0, 0);
    indented->addWidget(Liste_DXCC);
    frame->addLayout(indented, 1);
    static_cast<QVBoxLayout*>(layout())->addWidget(Frame1, 1);
}

// Opening: the list read from the file; nothing selected, no edit or delete
// pending; only the callsign prefix awaits input.
void PrefixEditorWindow::open() {
    emptyAndRest(N_Pays);
    emptyAndRest(N_DXCC);
    N_Prefixe->clear();
    for (QPushButton* b : {Enregistrer, Supprimer}) {
        b->setEnabled(false);
        paintButtonFace(b);
    }
    for (QPushButton* b : {Clear_P, Command1}) paintBackground(b, kInputColour);
    try {
        model_->reload([this] { editor_.open(); });
    } catch (const dxcc::FileError& e) {
        // A file that is there but cannot be read must not be replaced by a
        // save from an empty list: nothing can be edited.
        tell(fileErrorText(e));
        N_Prefixe->setEnabled(false);
        paintBackground(N_Prefixe, kRestColour);
        Clear_P->setEnabled(false);
        paintButtonFace(Clear_P);
        return;
    }
    awaitInput(N_Prefixe);
}

bool PrefixEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (isEnter(event)) {
        if (watched == Liste_DXCC) {
            // Enter on a line opens it, as a double-click does.
            doubleClicked(Liste_DXCC->currentIndex());
            return true;
        }
        for (QLineEdit* field : {N_Prefixe, N_Pays, N_DXCC}) {
            if (watched == field) {
                enterIn(field);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

QLineEdit* PrefixEditorWindow::fieldOf(PrefixField field) const {
    const std::array<QLineEdit*, 3> fields{N_Prefixe, N_Pays, N_DXCC};
    return fields[static_cast<size_t>(field)];
}

dxcc::PrefixFields PrefixEditorWindow::fieldTexts() const {
    return {toCp1252(N_Prefixe->text()), toCp1252(N_Pays->text()), toCp1252(N_DXCC->text())};
}

void PrefixEditorWindow::showFields(const dxcc::PrefixFields& fields) {
    N_Prefixe->setText(fromCp1252(fields.callsignPrefix));
    N_Pays->setText(fromCp1252(fields.entityName));
    N_DXCC->setText(fromCp1252(fields.dxccPrefix));
}

void PrefixEditorWindow::awaitInput(QWidget* field) {
    field->setEnabled(true);
    paintBackground(field, kInputColour);
    field->setFocus();
}

void PrefixEditorWindow::emptyAndRest(QLineEdit* field) {
    field->clear();
    field->setEnabled(false);
    paintBackground(field, kRestColour);
}

void PrefixEditorWindow::tell(const QString& text) {
    ctx_.dialogs->inform(text);
}

void PrefixEditorWindow::enterIn(QLineEdit* field) {
    static constexpr std::array<PrefixField, 3> kOrder{
        PrefixField::CallsignPrefix, PrefixField::EntityName, PrefixField::DxccPrefix};
    const auto at =
        static_cast<size_t>(std::find_if(kOrder.begin(), kOrder.end(),
                                         [&](PrefixField f) { return fieldOf(f) == field; }) -
                            kOrder.begin());
    if (const auto refusal = editor_.checkField(kOrder[at], toCp1252(field->text()))) {
        tell(fromView(*refusal));
        return;
    }
    paintBackground(field, kRestColour);
    awaitInput(at + 1 < kOrder.size() ? static_cast<QWidget*>(fieldOf(kOrder[at + 1]))
                                      : Enregistrer);
}

void PrefixEditorWindow::showExactCalls(bool exact) {
    // A callsign being typed stays; a line that was only shown goes.
    const QString typed = editor_.selectedRow() ? QString() : N_Prefixe->text();
    model_->reload([&] { editor_.showExactCalls(exact); });
    Label3->setText(fromView(exact ? msg::kExactCallLabel : msg::kCallsignPrefixLabel));
    Label5->setText(fromView(exact ? msg::kExactCallExample : msg::kCallsignPrefixExample));
    Label9->setText(fromView(exact ? dxcc::exactCallListHeading() : dxcc::prefixListHeading()));
    Frame1->setTitle(fromView(exact ? msg::kExactCallFrameCaption : msg::kListFrameCaption));
    Supprimer->setEnabled(false);
    paintButtonFace(Supprimer);
    clearInputs();
    N_Prefixe->setText(typed);
}

void PrefixEditorWindow::clicked(const QModelIndex& index) {
    if (!index.isValid()) return;
    showFields(editor_.select(static_cast<size_t>(index.row())));
    N_Prefixe->setEnabled(false);
    paintBackground(N_Prefixe, kRestColour);
    Supprimer->setEnabled(true);
    paintBackground(Supprimer, kInputColour);
}

void PrefixEditorWindow::doubleClicked(const QModelIndex& index) {
    if (!index.isValid()) return;
    showFields(editor_.beginEdit(static_cast<size_t>(index.row())));
    Supprimer->setEnabled(false);
    paintButtonFace(Supprimer);
    // Each field is confirmed again with Enter, from the callsign prefix on.
    for (QLineEdit* field : {N_Pays, N_DXCC}) {
        field->setEnabled(false);
        paintBackground(field, kRestColour);
    }
    awaitInput(N_Prefixe);
}

void PrefixEditorWindow::removeSelected() {
    const auto row = editor_.selectedRow();
    if (!row) return;
    model_->removeLine(static_cast<int>(*row), [this] { editor_.removeSelected(); });
    Liste_DXCC->setCurrentIndex({});
    for (QLineEdit* field : {N_Prefixe, N_Pays, N_DXCC}) emptyAndRest(field);
    Supprimer->setEnabled(false);
    paintButtonFace(Supprimer);
    awaitInput(Enregistrer);
}

void PrefixEditorWindow::save() {
    const dxcc::PrefixFields fields = fieldTexts();
    const dxcc::PrefixSaveOutcome outcome =
        model_->reload([&] { return session_.savePrefixEntry(editor_, fields); });
    if (!outcome.result) {
        // Another copy of the program holds the data folder.
        showSelection();
        for (const std::string& m : outcome.messages) tell(fromView(m));
        return;
    }
    const dxcc::PrefixSaveResult& result = *outcome.result;
    using Status = dxcc::PrefixSaveResult::Status;
    switch (result.status) {
        case Status::Saved:
            return afterSave();
        case Status::Refused:
            showSelection();
            tell(fromView(result.refusal->message));
            return awaitInput(fieldOf(result.refusal->field));
        case Status::Duplicate:
            showSelection();
            tell(fromView(editor_.exactCalls() ? msg::kExactCallDuplicate : msg::kDuplicateEntry) +
                 "\r\n" + fromCp1252(result.duplicate));
            return awaitInput(N_Prefixe);
        case Status::WriteFailed:
            showSelection();
            tell(fileErrorText(*result.error) + "\r\n" + fromView(msg::kNotSaved));
            return;
    }
}

void PrefixEditorWindow::afterSave() {
    for (QPushButton* b : {Supprimer, Enregistrer}) {
        b->setEnabled(false);
        paintButtonFace(b);
    }
    emptyAndRest(N_Pays);
    emptyAndRest(N_DXCC);
    N_Prefixe->clear();
    awaitInput(N_Prefixe);
}

// The list was shown again unchanged: its selection is highlighted again.
void PrefixEditorWindow::showSelection() {
    const auto row = editor_.selectedRow();
    if (!row) return;
    const QModelIndex index = model_->index(static_cast<int>(*row));
    Liste_DXCC->setCurrentIndex(index);
    Liste_DXCC->scrollTo(index);
}

void PrefixEditorWindow::clearInputs() {
    emptyAndRest(N_Pays);
    emptyAndRest(N_DXCC);
    N_Prefixe->clear();
    awaitInput(N_Prefixe);
}

}  // namespace ui
