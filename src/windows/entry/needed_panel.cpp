#include "windows/entry/needed_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "core/awards/needed_messages.h"
#include "core/base/text_utils.h"
#include "platform/clock_text.h"
#include "platform/colours.h"
#include "platform/text.h"

namespace ui {

namespace {

// How many earlier contacts the panel lists.
constexpr size_t kEarlierShown = 5;

// Colours that read at a glance: red for a new entity, orange for a new band
// or mode, blue for one to confirm, green when nothing is missing.
struct VerdictLook {
    QColor background;
    QColor text;
};
VerdictLook lookOf(dxcc::NeededVerdict v) {
    switch (v) {
        case dxcc::NeededVerdict::NewEntity:
            return {kNewEntityMark, Qt::white};
        case dxcc::NeededVerdict::NewBand:
        case dxcc::NeededVerdict::NewMode:
            return {kNewSlotMark, Qt::black};
        case dxcc::NeededVerdict::ToConfirm:
            return {kToConfirmMark, Qt::white};
        case dxcc::NeededVerdict::AlreadyConfirmed:
            break;
    }
    return {kConfirmedMark, Qt::white};
}

void paint(QLabel* label, const QColor& background, const QColor& text) {
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    label->setPalette(p);
}

// A band label as short as the grid's columns allow: "14", "1.8", "144".
QString shortBand(std::string_view band) {
    QString text = fromView(dxcc::trimBlanks(band));
    text.remove(" Mhz");
    return text;
}

}  // namespace

NeededPanel::NeededPanel(AppContext& ctx, dxcc::LogSession& session, QWidget* parent)
    : QFrame(parent), ctx_(ctx), session_(session) {
    setObjectName("Besoin_DXCC");
    setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 4, 6, 4);

    auto* left = new QVBoxLayout;
    Etat_Besoin = new QLabel(this);
    Etat_Besoin->setObjectName("Etat_Besoin");
    QFont big = Etat_Besoin->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    Etat_Besoin->setFont(big);
    Etat_Besoin->setMargin(3);
    Etat_Besoin->setMinimumWidth(
        QFontMetrics(big).horizontalAdvance(fromView(dxcc::needed_messages::kNewEntity)) + 16);
    Etat_Besoin->setAlignment(Qt::AlignCenter);
    workedBefore = new QLabel(this);
    workedBefore->setObjectName("workedBefore");
    workedBefore->setTextFormat(Qt::PlainText);
    Infos_Contree = new QLabel(this);
    Infos_Contree->setObjectName("Infos_Contree");
    Infos_Contree->setTextFormat(Qt::PlainText);
    left->addWidget(Etat_Besoin);
    left->addWidget(workedBefore);
    left->addWidget(Infos_Contree);
    left->addStretch();
    row->addLayout(left, 3);

    auto* grid = new QGridLayout;
    grid->setSpacing(1);
    const int cellWidth = fontMetrics().horizontalAdvance("1444");
    for (size_t b = 0; b < dxcc::kBands.size(); ++b) {
        auto* head = new QLabel(shortBand(dxcc::kBands[b]), this);
        head->setAlignment(Qt::AlignCenter);
        grid->addWidget(head, 0, static_cast<int>(b) + 1);
    }
    for (size_t c = 0; c < dxcc::kModeClasses.size(); ++c) {
        auto* head = new QLabel(fromView(dxcc::modeClassHeading(dxcc::kModeClasses[c])), this);
        grid->addWidget(head, static_cast<int>(c) + 1, 0);
        for (size_t b = 0; b < dxcc::kBands.size(); ++b) {
            auto* cell = new QLabel(this);
            cell->setObjectName(QString("Case_%1_%2").arg(c).arg(b));
            cell->setAlignment(Qt::AlignCenter);
            cell->setMinimumWidth(cellWidth);
            cell->setFrameShape(QFrame::NoFrame);
            paint(cell, kNeverWorkedLight, Qt::black);
            grid->addWidget(cell, static_cast<int>(c) + 1, static_cast<int>(b) + 1);
            cells_[c][b] = cell;
        }
    }
    row->addLayout(grid, 0);

    QSO_Precedents = new QLabel(this);
    QSO_Precedents->setObjectName("QSO_Precedents");
    QSO_Precedents->setTextFormat(Qt::PlainText);
    QSO_Precedents->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont fixed("Monospace");
    fixed.setStyleHint(QFont::TypeWriter);
    QSO_Precedents->setFont(fixed);
    QSO_Precedents->setMinimumWidth(
        QFontMetrics(fixed).horizontalAdvance("00/00/00 00:00  1.3Ghz  SSB *") + 8);
    row->addLayout(new QVBoxLayout, 0);
    row->addWidget(QSO_Precedents, 2);
    refresh();
}

void NeededPanel::showFor(const std::string& callsign, const std::string& dxccPrefix,
                          const std::string& band, const std::string& mode) {
    const std::string trimmedCall(dxcc::trimBlanks(callsign));
    if (trimmedCall != callsign_) rowsKnown_ = false;
    callsign_ = trimmedCall;
    prefix_ = std::string(dxcc::trimBlanks(dxccPrefix));
    band_ = std::string(dxcc::trimBlanks(band));
    mode_ = std::string(dxcc::trimBlanks(mode));
    refresh();
}

void NeededPanel::logChanged() {
    rowsKnown_ = false;
    refresh();
}

void NeededPanel::showGrid(const std::string& prefix, int bandColumn, int classRow) {
    const dxcc::NeededIndex& index = session_.needed();
    for (size_t c = 0; c < dxcc::kModeClasses.size(); ++c) {
        for (size_t b = 0; b < dxcc::kBands.size(); ++b) {
            QLabel* cell = cells_[c][b];
            const dxcc::Need need =
                prefix.empty() ? dxcc::Need::Never
                               : index.bandAndMode(prefix, dxcc::kBands[b], dxcc::kModeClasses[c]);
            cell->setText(need == dxcc::Need::Never ? QString() : QString(QChar(char(need))));
            const bool selected =
                static_cast<int>(b) == bandColumn && static_cast<int>(c) == classRow;
            cell->setFrameShape(selected ? QFrame::Box : QFrame::NoFrame);
            paint(cell,
                  need == dxcc::Need::Confirmed ? kConfirmedLight
                  : need == dxcc::Need::Worked  ? kWorkedLight
                                                : kNeverWorkedLight,
                  Qt::black);
        }
    }
}

void NeededPanel::refresh() {
    const int bandColumn = dxcc::listItemIndex(band_, dxcc::kBands);
    const dxcc::ModeClass cls = dxcc::neededClassOf(mode_);
    const int classRow =
        cls != dxcc::ModeClass::None ? static_cast<int>(dxcc::modeClassIndex(cls)) : -1;
    if (prefix_.empty()) {
        Etat_Besoin->clear();
        Etat_Besoin->setAutoFillBackground(false);
        workedBefore->clear();
        Infos_Contree->clear();
        QSO_Precedents->clear();
        showGrid({}, -1, -1);
        return;
    }
    const dxcc::NeededIndex& index = session_.needed();
    const dxcc::Need entity = index.entity(prefix_);
    const dxcc::Need band = index.band(prefix_, band_);
    const dxcc::Need mode =
        cls != dxcc::ModeClass::None ? index.mode(prefix_, cls) : dxcc::Need::Never;
    const dxcc::NeededVerdict verdict = dxcc::neededVerdict(entity, band, mode);
    Etat_Besoin->setText(fromView(dxcc::neededVerdictText(verdict)));
    const VerdictLook look = lookOf(verdict);
    paint(Etat_Besoin, look.background, look.text);
    showGrid(prefix_, bandColumn, classRow);

    // Where the entity lies, from the station's locator.
    QStringList place;
    for (const std::string& line : dxcc::entityPlaceLines(session_.entityData().find(prefix_),
                                                          session_.settings().stationPosition(),
                                                          partsOf(ctx_.clock->utcNow())))
        place << fromView(line);
    Infos_Contree->setText(place.join('\n'));

    if (!rowsKnown_) {
        rows_ = dxcc::callsignRows(session_.log(), callsign_);
        rowsKnown_ = true;
    }
    const dxcc::Logbook& log = session_.log();
    workedBefore->setText(fromView(
        dxcc::workedOnBandAndModeLine(dxcc::lastWorkedOnBandAndMode(log, rows_, band_, mode_))));
    QStringList lines;
    for (const dxcc::EarlierQso& q : dxcc::earlierQsos(log, rows_, kEarlierShown))
        lines << fromCp1252(dxcc::earlierQsoLine(q));
    QSO_Precedents->setText(lines.isEmpty() ? QString() : lines.join('\n'));
}

}  // namespace ui
