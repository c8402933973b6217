#include "results_json/tables_json.h"

#include <QJsonArray>

#include "ops/kx_names.h"

namespace korvel::results {

using namespace korvel::ops;

namespace {

// The words a label adds to the caption: a delay is the off-delay unless its
// "on" selector is set.
QJsonArray selectorWords(const KxSettingName& row) {
    const KxSelectorBits& bits = row.setting().selectorBits;
    const KxSelectors& s = row.selectors;
    QJsonArray words;
    if (bits.alarmOn || bits.switchOn) words.append(s.alarmOn || s.switchOn ? "on" : "off");
    if (s.bank1) words.append("bank 1");
    if (s.loopB) words.append("loop B");
    return words;
}

QJsonObject frameJson(bool settable, const VgBits& offered,
                      const std::array<const char*, 8>& names) {
    QJsonArray bits;
    for (std::size_t i = 0; i < offered.size(); ++i)
        if (settable && offered[i])
            bits.append(QJsonObject{{"bit", static_cast<int>(i)}, {"name", names[i]}});
    return QJsonObject{{"settable", settable}, {"bits", bits}};
}

}  // namespace

QJsonObject kxSettingsJson() {
    QJsonArray settings;
    for (const KxSettingName& row : kxSettingRows()) {
        const KxSettingRow& setting = row.setting();
        QJsonObject o{{"name", row.name},
                      {"caption", setting.name},
                      {"words", selectorWords(row)},
                      {"minimum", setting.range.minimum},
                      {"maximum", setting.range.maximum}};
        if (setting.isOption()) {
            QJsonArray options;
            for (const KxOptionValue& option : setting.options)
                options.append(QJsonObject{{"value", option.value}, {"caption", option.caption}});
            o.insert("options", options);
        }
        // A module of unknown type offers every setting, as its page shows them all.
        QJsonArray offered, settable;
        for (ModuleType type :
             {ModuleType::KxH, ModuleType::Kx44, ModuleType::Wobe, ModuleType::Unknown}) {
            const QString name = QString::fromUtf8(
                moduleTypeName(type).data(), static_cast<qsizetype>(moduleTypeName(type).size()));
            if (offeredOn(row, singleModule(type))) offered.append(name);
            if (settableOn(row, singleModule(type))) settable.append(name);
        }
        o.insert("offered-on", offered);
        o.insert("settable-on", settable);
        settings.append(o);
    }
    return QJsonObject{{"settings", settings}};
}

QJsonObject vgOfferJson(const VgUnitOffer& offer) {
    return QJsonObject{{"unit", offer.unit},
                       {"config", frameJson(offer.config, offer.configBits, kVgConfigBitNames)},
                       {"options", frameJson(offer.options, offer.optionBits, kVgOptionBitNames)}};
}

}  // namespace korvel::results
