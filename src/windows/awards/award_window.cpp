#include "windows/awards/award_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/busy_pointer.h"
#include "platform/colours.h"
#include "platform/column_list.h"
#include "platform/text.h"
#include "platform/uniform_list_view.h"
#include "windows/awards/award_list_model.h"

namespace ui {

namespace texts = dxcc::award_texts;

namespace {

// An entity line: the ordinal in six columns, a blank, the display line from
// the callsign to the QSL mark.
constexpr int kEntityLineLength = 123;
constexpr int kVisibleLines = 24;
constexpr int kConfirmedId = 1;
constexpr int kContactedId = 2;

QLabel* namedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

void makeBold(QLabel* label, int extraPoints) {
    QFont f = label->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + extraPoints);
    label->setFont(f);
}

}  // namespace

AwardWindow::AwardWindow(AppContext& /*ctx*/, dxcc::LogSession& session, dxcc::AwardFamily kind,
                         AwardSplash splash, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      layout_(texts::windowLayout(kind)),
      awards_(dxcc::awardsOfFamily(kind)),
      splash_(std::move(splash)) {
    setObjectName(fromView(layout_.objectName));
    setWindowTitle(fromView(layout_.caption));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    if (layout_.evaluatesAtOpening) {
        showSplash(*awards_.front());
        evaluate();
    }
}

// The splash that waits for the first evaluation comes up once the window is
// on screen, so the window does not cover it.
void AwardWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shownOnce_ || layout_.splash != texts::SplashTime::FromOpening ||
        layout_.evaluatesAtOpening)
        return;
    shownOnce_ = true;
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !evaluated_) showSplash(*awards_.front());
    });
}

void AwardWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    Label2 = namedLabel("Label2", fromView(layout_.title), this);
    makeBold(Label2, 6);
    layout->addWidget(Label2);
    if (QHBoxLayout* row = buildChoiceRow()) layout->addLayout(row);
    buildList();
    layout->addWidget(Label3);
    layout->addWidget(Liste_Prefixes, 1);
    Label1 = namedLabel("Label1", " ", this);
    Label4 = namedLabel("Label4", QString(), this);
    for (QLabel* l : {Label1, Label4}) {
        makeBold(l, 0);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(l);
    }
}

// The options, the selector and the button, on one row; none in the 5-band
// window.
QHBoxLayout* AwardWindow::buildChoiceRow() {
    if (layout_.optionGroup.empty()) return nullptr;
    auto* row = new QHBoxLayout;
    const QString group = fromView(layout_.optionGroup);
    Q_Confirme = new QButtonGroup(this);
    Q_Confirme->setObjectName(group);
    for (auto [id, text] : {std::pair{kConfirmedId, texts::kConfirmedOption},
                            std::pair{kContactedId, texts::kContactedOption}}) {
        auto* option = new QRadioButton(fromView(text), this);
        option->setObjectName(group + "_" + QString::number(id));
        Q_Confirme->addButton(option, id);
        row->addWidget(option);
    }
    Q_Confirme->button(kConfirmedId)->setChecked(true);
    row->addSpacing(24);
    if (!layout_.selector.empty()) {
        selector_ = new QComboBox(this);
        selector_->setObjectName(fromView(layout_.selector));
        for (const dxcc::AwardDefinition* award : awards_)
            selector_->addItem(fromView(award->shownName));
        selector_->setCurrentIndex(layout_.firstSelected);
        paintBackground(selector_, kRestColour);
        (layout_.family == dxcc::AwardFamily::Mode ? Mode_E : Bande_E) = selector_;
        row->addWidget(selector_);
        row->addSpacing(12);
    }
    Afficher = new QPushButton(fromView(texts::kShowButton), this);
    Afficher->setObjectName("Afficher");
    connect(Afficher, &QPushButton::clicked, this, &AwardWindow::evaluate);
    row->addWidget(Afficher);
    row->addStretch();
    return row;
}

void AwardWindow::buildList() {
    Label3 = namedLabel("Label3", fromView(dxcc::entityListHeading()), this);
    Liste_Prefixes = new UniformListView(this);
    Liste_Prefixes->setObjectName("Liste_Prefixes");
    setUpColumnList(Liste_Prefixes);
    const QFont font = Liste_Prefixes->font();
    model_ = new AwardListModel(this);
    Liste_Prefixes->setModel(model_);
    alignHeadingWith(Label3, Liste_Prefixes);
    const int lineHeight = QFontMetrics(font).lineSpacing();
    Liste_Prefixes->setMinimumSize(listWidthFor(Liste_Prefixes, kEntityLineLength),
                                   lineHeight * kVisibleLines);
}

const dxcc::AwardDefinition& AwardWindow::chosenAward() const {
    const int index = selector_ ? selector_->currentIndex() : 0;
    return *awards_.at(static_cast<size_t>(index < 0 ? 0 : index));
}

dxcc::Basis AwardWindow::chosenBasis() const {
    return Q_Confirme && Q_Confirme->checkedId() == kContactedId ? dxcc::Basis::Contacted
                                                                 : dxcc::Basis::Confirmed;
}

void AwardWindow::evaluate() {
    // The splash lets events run once: a second click must not start a
    // second evaluation inside the first.
    if (evaluating_) return;
    evaluating_ = true;
    {
        BusyPointer busy;
        const dxcc::AwardDefinition& award = chosenAward();
        model_->setLines({});
        if (layout_.splash == texts::SplashTime::EachEvaluation) showSplash(award);
        dxcc::AwardResult result = dxcc::evaluateAward(session_.log(), award, chosenBasis());
        model_->setLines(std::move(result.lines));
        Label1->setText(fromView(result.label1));
        Label4->setText(fromView(result.label4));
        closeSplash();
    }
    evaluated_ = true;
    evaluating_ = false;
}

void AwardWindow::showSplash(const dxcc::AwardDefinition& award) {
    splashShown_ = true;
    splash_.show(fromView(texts::kSplashReading) + fromCp1252(session_.station()),
                 fromView(award.splashText));
}

void AwardWindow::closeSplash() {
    if (!splashShown_) return;
    splashShown_ = false;
    splash_.close();
}

// A window closed before its first evaluation takes its splash with it.
void AwardWindow::closeEvent(QCloseEvent* event) {
    closeSplash();
    QWidget::closeEvent(event);
}

}  // namespace ui
