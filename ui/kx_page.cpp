#include "ui/kx_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <algorithm>

#include "ui/access_keys.h"
#include "ui/translations.h"
#include "ui/up_down.h"
#include "ui/widget_kit.h"

namespace korvel::ui {

namespace {

// Colour values are stored blue-green-red, as the system keeps them.
QColor colourOf(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

void paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// An option button shows its colour only while it is marked; in the normal
// look its face blends with the panel, whatever the style draws there.
void paintOption(QRadioButton* option, const QColor& colour) {
    paint(option, QPalette::Button, colour);
    option->setAutoFillBackground(true);
}

// The normal look: window background for text boxes, button face for option buttons.
void paintNormal(QLineEdit* box) {
    paint(box, QPalette::Base, QApplication::palette(box).color(QPalette::Base));
}

void paintNormal(QRadioButton* option) {
    paint(option, QPalette::Button, QApplication::palette(option).color(QPalette::Button));
    option->setAutoFillBackground(false);
}

std::string textOf(const QLineEdit* box) {
    return box->text().toStdString();
}

}  // namespace

KxPage::KxPage(BusContext& bus, QWidget* tab) : QObject(tab), bus_(bus), tab_(tab) {
    buildTopRow();
    buildPanels();
    applyPageState(KxPageState{});

    connect(cboKX_, &QComboBox::activated, this, &KxPage::cboKX_Click);
    connect(cmdErase_, &QPushButton::clicked, this, &KxPage::cmdErase_Click);
    for (NumberPanel& p : numbers_) {
        for (int i = 0; i < 2; ++i)
            connect(p.cmd[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                    [this, &p, i] { numberClicked(p, static_cast<KxButton>(i)); });
        connect(p.updown, &UpDown::changed, this, [this, &p] { resetNumberColour(p); });
        watchFocus(p.cmd);
    }
    for (OptionPanel& p : options_) {
        for (int i = 0; i < 2; ++i)
            connect(p.cmd[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                    [this, &p, i] { optionClicked(p, static_cast<KxButton>(i)); });
        watchFocus(p.cmd);
    }
}

void KxPage::watchFocus(const ButtonPair& buttons) {
    for (QPushButton* b : buttons) b->installEventFilter(this);
}

bool KxPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusOut) return QObject::eventFilter(watched, event);
    for (const NumberPanel& p : numbers_)
        if (watched == p.cmd[0] || watched == p.cmd[1]) resetNumberColour(p);
    for (const OptionPanel& p : options_)
        if (watched == p.cmd[0] || watched == p.cmd[1]) resetOptionColours(p);
    return QObject::eventFilter(watched, event);
}

NumberPanel& KxPage::number(KxNumberSetting setting) {
    return *std::ranges::find(numbers_, setting, &NumberPanel::setting);
}

OptionPanel& KxPage::option(KxOptionSetting setting) {
    return *std::ranges::find(options_, setting, &OptionPanel::setting);
}

QGroupBox* KxPage::frameOf(KxSettingId field) {
    if (settingRow(field).isOption()) return option(static_cast<KxOptionSetting>(field)).frame;
    return number(static_cast<KxNumberSetting>(field)).frame;
}

const ButtonPair& KxPage::buttonsOf(KxSettingId field) {
    if (settingRow(field).isOption()) return option(static_cast<KxOptionSetting>(field)).cmd;
    return number(static_cast<KxNumberSetting>(field)).cmd;
}

void KxPage::refreshList() {
    {
        const QSignalBlocker quiet(cboKX_);
        cboKX_->clear();
        for (const ListEntry& e : bus_.registry.kxList.entries)
            cboKX_->addItem(QString::fromStdString(e.text), e.itemData);
        cboKX_->setCurrentIndex(bus_.registry.kxList.selected);
    }
    if (bus_.registry.kxList.selectedItemData()) KXSelectionChanged();
}

std::optional<std::int32_t> KxPage::selection() const {
    return bus_.registry.kxList.selectedItemData();
}

void KxPage::reselect(std::optional<std::int32_t> itemData) {
    const int index = itemData ? cboKX_->findData(*itemData) : -1;
    if (index < 0) return;
    {
        const QSignalBlocker quiet(cboKX_);
        cboKX_->setCurrentIndex(index);
    }
    cboKX_Click(index);
}

void KxPage::cboKX_Click(int index) {
    bus_.registry.kxList.selected = index;
    KXSelectionChanged();
}

void KxPage::KXSelectionChanged() {
    const std::optional<std::int32_t> selected = bus_.registry.kxList.selectedItemData();
    if (!selected) return;
    KxPageState state = readPageState();
    ::korvel::KXSelectionChanged(state, *selected, bus_.registry.kxTypes);
    applyPageState(state);
}

// Everything else the page shows is set anew from the selection alone.
KxPageState KxPage::readPageState() const {
    KxPageState s;
    s.bank1Selected = optBank_[1]->isChecked();
    return s;
}

void KxPage::applyPageState(const KxPageState& s) {
    for (const KxSettingRow& row : kKxSettings) frameOf(row.field)->setVisible(s.panel(row.field));

    for (const NumberPanel& p : numbers_) p.cmd[1]->setVisible(s.getButtons);
    for (const OptionPanel& p : options_)
        if (p.setting != KxOptionSetting::MSMode) p.cmd[1]->setVisible(s.getButtons);
    // Only a panel that can be shown for reading alone hides its Set button;
    // elsewhere the Set button comes and goes with its panel.
    for (const KxSettingRow& row : kKxSettings)
        if (row.offer.kx44Reads) buttonsOf(row.field)[0]->setVisible(s.setButton(row.field));
    // cmdMS(1) doubles as the master/slave check, captioned for what it does.
    QPushButton* cmdMSGet = option(KxOptionSetting::MSMode).cmd[1];
    recaption(cmdMSGet, translated(s.cmdMSGetCaption));
    cmdMSGet->setVisible(s.cmdMSGet);

    optBank_[1]->setVisible(s.bank1Visible);
    if (!s.bank1Selected) optBank_[0]->setChecked(true);
    lblKXtype_->setText(translated(s.kxTypeCaption));
    lblKXtype_->setVisible(s.kxTypeVisible);
}

KxSelectors KxPage::readSelectors() const {
    return {optAL_[1]->isChecked(), optSW_[1]->isChecked(), optBank_[1]->isChecked(),
            OptLC_[1]->isChecked()};
}

KxPageInputs KxPage::readInputs() const {
    return {bus_.registry.kxList.selectedItemData(), chkKXperm_->isChecked(), readSelectors()};
}

void KxPage::numberClicked(NumberPanel& panel, KxButton button) {
    const KxCommand command =
        numberCommand(panel.setting, textOf(panel.txt), readSelectors(), chkKXperm_->isChecked());
    if (command.correctedText) panel.txt->setText(QString::fromStdString(*command.correctedText));
    BusyCursor busy;
    SendKXSetting(bus_.link, bus_.prompter, bus_.registry, button, command);
}

void KxPage::optionClicked(OptionPanel& panel, KxButton button) {
    std::optional<int> selected;
    for (const auto& [index, option] : panel.opt)
        if (option->isChecked()) selected = index;
    const bool permanent = chkKXperm_->isChecked();
    BusyCursor busy;
    if (panel.setting == KxOptionSetting::MSMode)
        SendOrCheckMSMode(bus_.link, bus_.prompter, bus_.registry, button, selected, permanent);
    else
        SendKXSetting(bus_.link, bus_.prompter, bus_.registry, button,
                      optionCommand(panel.setting, selected, permanent));
}

void KxPage::cmdErase_Click() {
    EraseKXSettings(bus_.link, bus_.prompter, bus_.registry);
}

void KxPage::onSettingsReport(const ReplyBuffer& reply) {
    if (!isSettingsReport(reply)) return;
    if (const std::optional<KxFieldUpdate> update = DecodeKXReply(reply, readInputs()))
        applyFieldUpdate(*update);
}

void KxPage::applyFieldUpdate(const KxFieldUpdate& update) {
    const QColor colour = colourOf(update.colour);
    if (!settingRow(update.field).isOption()) {
        QLineEdit* txt = number(static_cast<KxNumberSetting>(update.field)).txt;
        txt->setText(QString::fromStdString(update.text));
        paint(txt, QPalette::Base, colour);
        return;
    }
    const OptionArray& opt = option(static_cast<KxOptionSetting>(update.field)).opt;
    if (const auto button = opt.find(update.optionIndex); button != opt.end()) {
        button->second->setChecked(true);
        paintOption(button->second, colour);
    }
}

void KxPage::resetNumberColour(const NumberPanel& panel) {
    paintNormal(panel.txt);
}

void KxPage::resetOptionColours(const OptionPanel& panel) {
    for (const auto& [index, option] : panel.opt) paintNormal(option);
}

}  // namespace korvel::ui
