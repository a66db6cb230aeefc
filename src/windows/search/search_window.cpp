#include "windows/search/search_window.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/record/qso_record.h"
#include "core/search/search_messages.h"
#include "platform/colours.h"
#include "platform/column_list.h"
#include "platform/text.h"
#include "platform/uniform_list_view.h"
#include "platform/uppercase.h"
#include "windows/search/search_results_model.h"

namespace ui {

namespace {

namespace msg = dxcc::search_messages;
using dxcc::SearchKind;

constexpr std::array<SearchKind, 3> kKinds{SearchKind::Callsign, SearchKind::Date,
                                           SearchKind::Prefix};

size_t indexOf(SearchKind kind) {
    return static_cast<size_t>(kind);
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Lines shown in the results before the list scrolls.
constexpr int kResultLinesShown = 14;

}  // namespace

SearchWindow::SearchWindow(AppContext& ctx, dxcc::LogSession& session, QAbstractItemModel* mainList,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx), session_(session) {
    setObjectName("Recherche_Indicatif");
    setWindowTitle(fromView(msg::kCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    results_ = new SearchResultsModel(session_.log(), mainList, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    buildChoices();
    buildResults();
    // Tab goes from field to field, whatever option is selected.
    setTabOrder(Indica, Data);
    setTabOrder(Data, Depa);
    setTabOrder(Depa, QSO_Effectues);
    setTabOrder(QSO_Effectues, Command1);
    select(SearchKind::Callsign);
    Indica->clear();
    Indica->setFocus();
}

void SearchWindow::buildChoices() {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName("Frame1");
    Frame1->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    auto* grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(16);
    Label3 = new QLabel(fromView(msg::kChoicesHeading), Frame1);
    Label3->setObjectName("Label3");
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    grid->addWidget(Label3, 0, 0, 1, 2);

    const std::array<std::string_view, 3> captions{msg::kOptionCallsign, msg::kOptionDate,
                                                   msg::kOptionPrefix};
    const std::array<const char*, 3> fieldNames{"Indica", "Data", "Depa"};
    std::array<QLineEdit*, 3> fields{};
    const int fieldWidth = fontMetrics().horizontalAdvance(QString(16, QLatin1Char('M')));
    for (size_t i = 0; i < kKinds.size(); ++i) {
        Option1[i] = new QRadioButton(fromView(captions[i]), Frame1);
        Option1[i]->setObjectName(QString("Option1(%1)").arg(i + 1));
        fields[i] = new QLineEdit(Frame1);
        fields[i]->setObjectName(fieldNames[i]);
        fields[i]->setFixedWidth(fieldWidth);
        paintBackground(fields[i], kRestColour);
        fields[i]->installEventFilter(this);
        grid->addWidget(Option1[i], static_cast<int>(i) + 1, 0);
        grid->addWidget(fields[i], static_cast<int>(i) + 1, 1);
        QLineEdit* field = fields[i];
        connect(Option1[i], &QRadioButton::toggled, field, [field](bool on) {
            if (on) field->setFocus();
        });
    }
    Indica = fields[0];
    Data = fields[1];
    Depa = fields[2];
    // Typed letters become capitals in the callsign and the prefix; the date
    // takes what is typed. No field takes a line break.
    installUppercaseRule(Indica);
    installUppercaseRule(Data, false, false);
    installUppercaseRule(Depa);

    Command1 = new QPushButton(fromView(msg::kQuit), this);
    Command1->setObjectName("Command1");
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);

    auto* row = new QHBoxLayout;
    row->addWidget(Frame1);
    row->addStretch();
    row->addWidget(Command1, 0, Qt::AlignBottom);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void SearchWindow::buildResults() {
    QSO_Effectues = new UniformListView(this);
    QSO_Effectues->setObjectName("QSO_Effectues");
    setUpColumnList(QSO_Effectues);
    QSO_Effectues->setModel(results_);
    QSO_Effectues->setToolTip(fromView(msg::kResultsTooltip));
    QSO_Effectues->installEventFilter(this);
    connect(QSO_Effectues, &QListView::doubleClicked, this, &SearchWindow::choose);

    Label13 = new QLabel(fromView(dxcc::searchResultsHeading()), this);
    Label13->setObjectName("Label13");
    alignHeadingWith(Label13, QSO_Effectues);

    // Room for a whole display line and a scroll bar.
    const QFontMetrics metrics(QSO_Effectues->font());
    const int lineWidth =
        metrics.horizontalAdvance(QString(dxcc::kDisplayLineLength + 1, QLatin1Char('M')));
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QSO_Effectues->setMinimumWidth(lineWidth + scrollBar + 2 * listTextLeft(QSO_Effectues));
    QSO_Effectues->setMinimumHeight(metrics.lineSpacing() * kResultLinesShown);

    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->addSpacing(8);
    layout->addWidget(Label13);
    layout->addWidget(QSO_Effectues, 1);
}

QLineEdit* SearchWindow::fieldOf(SearchKind kind) const {
    const std::array<QLineEdit*, 3> fields{Indica, Data, Depa};
    return fields[indexOf(kind)];
}

std::optional<SearchKind> SearchWindow::kindOfField(const QObject* field) const {
    for (SearchKind kind : kKinds)
        if (fieldOf(kind) == field) return kind;
    return std::nullopt;
}

SearchKind SearchWindow::selectedKind() const {
    for (SearchKind kind : kKinds)
        if (Option1[indexOf(kind)]->isChecked()) return kind;
    return SearchKind::Callsign;
}

void SearchWindow::select(SearchKind kind) {
    Option1[indexOf(kind)]->setChecked(true);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) {
        if (watched == QSO_Effectues) {
            choose(QSO_Effectues->currentIndex());
            return true;
        }
        if (const auto kind = kindOfField(watched)) {
            enterIn(*kind);
            return true;
        }
    }
    // A click in a field chooses its option; Tab into it does not.
    if (type == QEvent::MouseButtonPress) {
        if (const auto kind = kindOfField(watched)) select(*kind);
    }
    return QWidget::eventFilter(watched, event);
}

void SearchWindow::enterIn(SearchKind field) {
    const dxcc::SearchTexts texts{toCp1252(Indica->text()), toCp1252(Data->text()),
                                  toCp1252(Depa->text())};
    apply(dxcc::searchOnEnter(session_.log(), field, selectedKind(), texts));
}

void SearchWindow::apply(const dxcc::SearchOutcome& outcome) {
    if (outcome.resultsReplaced) {
        results_->setRows(outcome.rows);
        QSO_Effectues->scrollToTop();
    }
    if (outcome.fieldToEmpty) fieldOf(*outcome.fieldToEmpty)->clear();
    if (!outcome.message.empty()) ctx_.dialogs->inform(fromView(outcome.message));
    if (outcome.emptyAllFields)
        for (SearchKind kind : kKinds) fieldOf(kind)->clear();
}

void SearchWindow::showEntityQsos(const QString& dxccPrefix) {
    results_->setRows(dxcc::findEntityQsos(session_.log(), toCp1252(dxccPrefix)));
    QSO_Effectues->scrollToTop();
    QSO_Effectues->setFocus();
    if (results_->rowCount() > 0) QSO_Effectues->setCurrentIndex(results_->index(0));
}

void SearchWindow::choose(const QModelIndex& result) {
    if (!result.isValid()) return;
    emit qsoChosen(static_cast<int>(results_->logRow(result.row())));
    close();
}

}  // namespace ui
