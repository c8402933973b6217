#pragma once

#include <QJsonObject>

#include "ops/system_ops.h"

namespace korvel::results {

// Every KX setting as korvelctl names it, in the page's order: its name, the
// window's caption, the words its selectors add ("off", "bank 1"), the values
// it takes, and the module types that offer it and that let it be set.
QJsonObject kxSettingsJson();

// What the VG unit of the last status request offers: its type and, for the
// configuration and the option bits, whether they can be set and which bits.
QJsonObject vgOfferJson(const ops::VgUnitOffer& offer);

}  // namespace korvel::results
