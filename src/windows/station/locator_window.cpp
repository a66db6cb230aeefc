#include "windows/station/locator_window.h"

#include <QGridLayout>
#include <QLabel>

#include "core/geo/geo_messages.h"
#include "platform/text.h"

namespace ui {

LocatorWindow::LocatorWindow(AppContext& ctx, dxcc::StationSettings& settings,
                             std::function<void()> onChanged, QWidget* parent)
    : QDialog(parent), ctx_(ctx), settings_(settings), onChanged_(std::move(onChanged)) {
    setObjectName("Locator");
    setWindowTitle("Locator de la station");
    setAttribute(Qt::WA_DeleteOnClose);

    auto* caption = new QLabel("Locator (4 ou 6 caractères, ex. JN18du)", this);
    Locator_Station = new QLineEdit(this);
    Locator_Station->setObjectName("Locator_Station");
    Locator_Station->setMaxLength(10);
    Locator_Station->setText(QString::fromStdString(settings_.locator()));
    caption->setBuddy(Locator_Station);
    auto* hint = new QLabel("Sans locator, les caps et distances ne sont pas affichés.", this);
    Valider_Locator = new QPushButton("Valider", this);
    Valider_Locator->setObjectName("Valider_Locator");
    Valider_Locator->setDefault(true);
    Annuler_Locator = new QPushButton("Annuler", this);
    Annuler_Locator->setObjectName("Annuler_Locator");
    Annuler_Locator->setAutoDefault(false);
    connect(Valider_Locator, &QPushButton::clicked, this, &LocatorWindow::validate);
    connect(Annuler_Locator, &QPushButton::clicked, this, &QDialog::reject);
    // Enter in the field validates (the default button).
    connect(Locator_Station, &QLineEdit::returnPressed, this, &LocatorWindow::validate);

    auto* grid = new QGridLayout(this);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(Locator_Station, 0, 1);
    grid->addWidget(hint, 1, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Valider_Locator);
    buttons->addWidget(Annuler_Locator);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setSpacing(10);
    grid->setContentsMargins(16, 14, 16, 14);
    Locator_Station->setMinimumWidth(fontMetrics().horizontalAdvance('M') * 8);
}

void LocatorWindow::validate() {
    // Pasted text never brings its line breaks.
    if (!settings_.setLocator(Locator_Station->text().simplified().toStdString())) {
        ctx_.dialogs->inform(fromView(dxcc::geo::kLocatorMalformed));
        Locator_Station->setFocus();
        Locator_Station->selectAll();
        return;
    }
    if (onChanged_) onChanged_();
    accept();
}

}  // namespace ui
