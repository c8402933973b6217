#include "ui/zr_page.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

#include "service/dispatch.h"
#include "ui/placement.h"
#include "ui/up_down.h"
#include "ui/widget_kit.h"
#include "ui_model/outcome_boxes.h"
#include "zr/zr_format.h"

namespace korvel::ui {

namespace {

// The middle power options are drawn wider than the gap to their right-hand
// neighbour and reach under it; their rows name that overlap.
constexpr Placement kZrPagePlacements[] = {
    {"lblZR", KORVEL_TEXT("Korvel", "Module"), 240, 300, 840, 255},
    {"cboZR", nullptr, 1320, 240, 975, 315},
    {"chkZRperm", KORVEL_TEXT("Korvel", "Permanent"), 2640, 270, 1335, 255},
    {"cmdZRerase", KORVEL_TEXT("Korvel", "Erase All"), 5520, 210, 1335, 375},
    {"lblZRtime", KORVEL_TEXT("Korvel", "Time (1/60s)"), 240, 840, 1080, 255},
    {"txtZRtime", KORVEL_TEXT("Korvel", "12"), 1320, 810, 720, 315},
    {"updownZRtime", nullptr, 2040, 810, 255, 315},
    {"lblZRdevice", KORVEL_TEXT("Korvel", "Device"), 240, 1320, 1080, 255},
    {"txtZRdevice", KORVEL_TEXT("Korvel", "0"), 1320, 1290, 720, 315},
    {"updownZRdevice", nullptr, 2040, 1290, 255, 315},
    {"optZRpower(0)", kZrPowerNames[0], 240, 1800, 1080, 255},
    {"optZRpower(1)", kZrPowerNames[1], 1320, 1800, 1080, 255, "optZRpower(2)"},
    {"optZRpower(2)", kZrPowerNames[2], 2160, 1800, 1080, 255},
    {"optZRpower(3)", kZrPowerNames[3], 3000, 1800, 1080, 255, "optZRpower(2)"},
    {"cmdTIME", KORVEL_TEXT("Korvel", "Set Default Time"), 4320, 780, 1695, 375},
    {"cmdDeviceTime", KORVEL_TEXT("Korvel", "Set Device Time"), 4320, 1260, 1695, 375},
    {"cmdDevicePower", KORVEL_TEXT("Korvel", "Set Device Pwr"), 4320, 1740, 1695, 375},
    {"cmdGetZRConfig", KORVEL_TEXT("Korvel", "Get Configuration"), 240, 2400, 1695, 375},
    {"cmdHideZRConfig", KORVEL_TEXT("Korvel", "Hide Result"), 2040, 2400, 1335, 375},
    {"textZRReport", nullptr, 240, 2880, 4560, 3600},
};

template <class W>
W* make(std::string_view name, QWidget* tab) {
    return makePlaced<W>(kZrPagePlacements, name, tab);
}

// A label, its number box and the box's spinner on one row; returns the box.
QLineEdit* makeNumberRow(const char* label, const char* box, const char* spinner, int maximum,
                         QWidget* tab) {
    auto* lbl = make<QLabel>(label, tab);
    auto* txt = make<QLineEdit>(box, tab);
    txt->setAccessibleName(lbl->text());
    lbl->setBuddy(txt);
    place(new UpDown(txt, 0, maximum, tab), kZrPagePlacements, spinner);
    return txt;
}

// The report lines up in columns, so it needs a fixed-pitch face.
QFont reportFont() {
    QFont font = QFontDatabase::families().contains("Lucida Console")
                     ? QFont("Lucida Console")
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(8.25);
    return font;
}

void setBoxText(QLineEdit* box, const std::optional<std::string>& corrected) {
    if (corrected) box->setText(QString::fromStdString(*corrected));
}

}  // namespace

ZrPage::ZrPage(BusContext& bus, QWidget* tab) : QObject(tab), bus_(bus) {
    buildSelection(tab);
    buildSettings(tab);
    buildReport(tab);
}

void ZrPage::buildSelection(QWidget* tab) {
    lblZR_ = make<QLabel>("lblZR", tab);
    cboZR_ = make<QComboBox>("cboZR", tab);
    cboZR_->setAccessibleName("Module");
    lblZR_->setBuddy(cboZR_);
    connect(cboZR_, &QComboBox::activated, this, &ZrPage::cboZR_Click);

    chkZRperm_ = make<QCheckBox>("chkZRperm", tab);
    chkZRperm_->setAccessibleName("Permanent");

    cmdZRerase_ = make<QPushButton>("cmdZRerase", tab);
    connect(cmdZRerase_, &QPushButton::clicked, this, &ZrPage::cmdZRerase_Click);
}

void ZrPage::buildSettings(QWidget* tab) {
    txtZRtime_ = makeNumberRow("lblZRtime", "txtZRtime", "updownZRtime", kZrMaxTime, tab);
    txtZRdevice_ = makeNumberRow("lblZRdevice", "txtZRdevice", "updownZRdevice", kZrMaxDevice, tab);

    powerGroup_ = new QButtonGroup(this);
    for (std::size_t k = 0; k < optZRpower_.size(); ++k) {
        auto* option = make<QRadioButton>("optZRpower(" + std::to_string(k) + ")", tab);
        option->setAccessibleName(option->text());
        powerGroup_->addButton(option, static_cast<int>(k));
        optZRpower_[k] = option;
    }
    optZRpower_[0]->setChecked(true);

    cmdTIME_ = make<QPushButton>("cmdTIME", tab);
    connect(cmdTIME_, &QPushButton::clicked, this, &ZrPage::cmdTIME_Click);
    cmdDeviceTime_ = make<QPushButton>("cmdDeviceTime", tab);
    connect(cmdDeviceTime_, &QPushButton::clicked, this, &ZrPage::cmdDeviceTime_Click);
    cmdDevicePower_ = make<QPushButton>("cmdDevicePower", tab);
    connect(cmdDevicePower_, &QPushButton::clicked, this, &ZrPage::cmdDevicePower_Click);
}

void ZrPage::buildReport(QWidget* tab) {
    cmdGetZRConfig_ = make<QPushButton>("cmdGetZRConfig", tab);
    connect(cmdGetZRConfig_, &QPushButton::clicked, this, &ZrPage::cmdGetZRConfig_Click);
    cmdHideZRConfig_ = make<QPushButton>("cmdHideZRConfig", tab);
    connect(cmdHideZRConfig_, &QPushButton::clicked, this, &ZrPage::cmdHideZRConfig_Click);

    textZRReport_ = make<QPlainTextEdit>("textZRReport", tab);
    textZRReport_->setAccessibleName("Configuration report");
    textZRReport_->setLineWrapMode(QPlainTextEdit::NoWrap);
    textZRReport_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textZRReport_->setFont(reportFont());

    cmdGetZRConfig_->hide();
    cmdHideZRConfig_->hide();
    textZRReport_->hide();
}

void ZrPage::refreshList() {
    cboZR_->clear();
    for (const ListEntry& e : bus_.registry.zrList.entries)
        cboZR_->addItem(QString::fromStdString(e.text), e.itemData);
    cboZR_->setCurrentIndex(bus_.registry.zrList.selected);
    // An emptied list leaves no module to report on, so its button goes too.
    ZRSelectionChanged();
}

ZrPage::Kept ZrPage::kept() const {
    if (cboZR_->currentIndex() < 0) return {};
    return {cboZR_->currentData().toInt(), !textZRReport_->isHidden()};
}

void ZrPage::restore(const Kept& kept) {
    const int index = kept.module ? cboZR_->findData(*kept.module) : -1;
    if (index < 0) return;
    cboZR_->setCurrentIndex(index);
    cboZR_Click(index);
    if (!kept.reportShown) return;
    textZRReport_->show();
    cmdHideZRConfig_->show();
}

void ZrPage::cboZR_Click(int index) {
    bus_.registry.zrList.selected = index;
    ZRSelectionChanged();
}

void ZrPage::ZRSelectionChanged() {
    showReportControls(korvel::ZRSelectionChanged(selectedModule()));
}

void ZrPage::showReportControls(const ZrReportVisibility& v) {
    cmdGetZRConfig_->setVisible(v.getConfig);
    cmdHideZRConfig_->setVisible(v.hideResult);
    textZRReport_->setVisible(v.report);
}

std::optional<std::int32_t> ZrPage::selectedModule() {
    if (cboZR_->currentIndex() < 0) return std::nullopt;
    return cboZR_->currentData().toInt();
}

bool ZrPage::permanent() {
    return chkZRperm_->isChecked();
}

void ZrPage::cmdGetZRConfig_Click() {
    textZRReport_->clear();
    textZRReport_->show();
    cmdHideZRConfig_->show();
    if (!requirePortOpen(bus_.link, bus_.prompter)) return;
    BusyCursor busy;
    RunZRReport(bus_.link, *this, [this](std::string_view piece) { appendReport(piece); });
}

// The run blocks the event loop, so the box is repainted by hand to show the
// report growing; the poll timer must not run between the report's frames.
void ZrPage::appendReport(std::string_view piece) {
    QString text = QString::fromLatin1(piece.data(), static_cast<qsizetype>(piece.size()));
    text.remove(QLatin1Char('\r'));
    QTextCursor cursor(textZRReport_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    textZRReport_->viewport()->repaint();
}

void ZrPage::cmdHideZRConfig_Click() {
    textZRReport_->clear();
    textZRReport_->hide();
    cmdHideZRConfig_->hide();
}

ZrSettingBoxes ZrPage::settingBoxes() const {
    ZrSettingBoxes boxes;
    boxes.timeText = txtZRtime_->text().toStdString();
    boxes.deviceText = txtZRdevice_->text().toStdString();
    boxes.permanent = chkZRperm_->isChecked();
    for (std::size_t k = 0; k < optZRpower_.size(); ++k)
        boxes.power[k] = optZRpower_[k]->isChecked();
    return boxes;
}

// The corrected boxes show what is sent before anything goes out.
void ZrPage::send(const ZrBoxSetting& setting) {
    setBoxText(txtZRtime_, setting.correctedTime);
    setBoxText(txtZRdevice_, setting.correctedDevice);
    BusyCursor busy;
    SendZRSetting(bus_.link, bus_.prompter, bus_.registry, setting);
}

void ZrPage::cmdTIME_Click() {
    send(zrDefaultTimeSetting(settingBoxes()));
}

void ZrPage::cmdDeviceTime_Click() {
    send(zrDeviceTimeSetting(settingBoxes()));
}

void ZrPage::cmdDevicePower_Click() {
    send(zrDevicePowerSetting(settingBoxes()));
}

void ZrPage::cmdZRerase_Click() {
    EraseZRSettings(bus_.link, bus_.prompter, bus_.registry);
}

}  // namespace korvel::ui
