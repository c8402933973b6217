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

#include "ui/twips.h"
#include "ui/up_down.h"
#include "ui/widget_kit.h"

namespace korvel::ui {

namespace {

QLineEdit* makeBox(const QString& text, const char* name, QLabel* label, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setAccessibleName(label->text());
    label->setBuddy(box);
    return box;
}

struct NumberRowNames {
    const char* caption;
    const char* label;
    const char* text;
    const char* box;
    const char* spinner;
};

// A label, its number box and the box's spinner on one row; returns the box.
QLineEdit* makeNumberRow(const NumberRowNames& n, int maximum, int top, QWidget* tab) {
    QLabel* label = makeLabel(n.caption, n.label, tab);
    placeTwips(label, 240, top + 30, 1080, 255);
    QLineEdit* box = makeBox(n.text, n.box, label, tab);
    placeTwips(box, 1320, top, 720, 315);
    auto* spinner = new UpDown(box, 0, maximum, tab);
    spinner->setObjectName(n.spinner);
    placeTwips(spinner, 2040, top, 255, 315);
    return box;
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
    lblZR_ = makeLabel("Module", "lblZR", tab);
    placeTwips(lblZR_, 240, 300, 840, 255);
    cboZR_ = new QComboBox(tab);
    cboZR_->setObjectName("cboZR");
    cboZR_->setAccessibleName("Module");
    lblZR_->setBuddy(cboZR_);
    placeTwips(cboZR_, 1320, 240, 975, 315);
    connect(cboZR_, &QComboBox::activated, this, &ZrPage::cboZR_Click);

    chkZRperm_ = new QCheckBox("Permanent", tab);
    chkZRperm_->setObjectName("chkZRperm");
    chkZRperm_->setAccessibleName("Permanent");
    placeTwips(chkZRperm_, 2640, 270, 1335, 255);

    cmdZRerase_ = makeButton("Erase All", "cmdZRerase", tab);
    placeTwips(cmdZRerase_, 5520, 210, 1335, 375);
    connect(cmdZRerase_, &QPushButton::clicked, this, &ZrPage::cmdZRerase_Click);
}

void ZrPage::buildSettings(QWidget* tab) {
    txtZRtime_ = makeNumberRow({"Time (1/60s)", "lblZRtime", "12", "txtZRtime", "updownZRtime"},
                               kZrMaxTime, 810, tab);
    txtZRdevice_ = makeNumberRow({"Device", "lblZRdevice", "0", "txtZRdevice", "updownZRdevice"},
                                 kZrMaxDevice, 1290, tab);

    powerGroup_ = new QButtonGroup(this);
    const std::array<const char*, 4> captions{"Normal", "Low", "High", "Unlimited"};
    const std::array<int, 4> lefts{240, 1320, 2160, 3000};
    for (std::size_t k = 0; k < captions.size(); ++k) {
        auto* option = new QRadioButton(captions[k], tab);
        option->setObjectName(QString("optZRpower(%1)").arg(k));
        option->setAccessibleName(captions[k]);
        placeTwips(option, lefts[k], 1800, 1080, 255);
        powerGroup_->addButton(option, static_cast<int>(k));
        optZRpower_[k] = option;
    }
    optZRpower_[0]->setChecked(true);

    cmdTIME_ = makeButton("Set Default Time", "cmdTIME", tab);
    placeTwips(cmdTIME_, 4320, 780, 1695, 375);
    connect(cmdTIME_, &QPushButton::clicked, this, &ZrPage::cmdTIME_Click);
    cmdDeviceTime_ = makeButton("Set Device Time", "cmdDeviceTime", tab);
    placeTwips(cmdDeviceTime_, 4320, 1260, 1695, 375);
    connect(cmdDeviceTime_, &QPushButton::clicked, this, &ZrPage::cmdDeviceTime_Click);
    cmdDevicePower_ = makeButton("Set Device Pwr", "cmdDevicePower", tab);
    placeTwips(cmdDevicePower_, 4320, 1740, 1695, 375);
    connect(cmdDevicePower_, &QPushButton::clicked, this, &ZrPage::cmdDevicePower_Click);
}

void ZrPage::buildReport(QWidget* tab) {
    cmdGetZRConfig_ = makeButton("Get Configuration", "cmdGetZRConfig", tab);
    placeTwips(cmdGetZRConfig_, 240, 2400, 1695, 375);
    connect(cmdGetZRConfig_, &QPushButton::clicked, this, &ZrPage::cmdGetZRConfig_Click);
    cmdHideZRConfig_ = makeButton("Hide Result", "cmdHideZRConfig", tab);
    placeTwips(cmdHideZRConfig_, 2040, 2400, 1335, 375);
    connect(cmdHideZRConfig_, &QPushButton::clicked, this, &ZrPage::cmdHideZRConfig_Click);

    textZRReport_ = new QPlainTextEdit(tab);
    textZRReport_->setObjectName("textZRReport");
    textZRReport_->setAccessibleName("Configuration report");
    textZRReport_->setLineWrapMode(QPlainTextEdit::NoWrap);
    textZRReport_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textZRReport_->setFont(reportFont());
    placeTwips(textZRReport_, 240, 2880, 4560, 3600);

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
void ZrPage::send(const ZrSetting& setting) {
    setBoxText(txtZRtime_, setting.correctedTime);
    setBoxText(txtZRdevice_, setting.correctedDevice);
    BusyCursor busy;
    SendZRSetting(bus_.link, bus_.registry, setting);
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
    EraseZRSettings(bus_.link, bus_.registry);
}

}  // namespace korvel::ui
