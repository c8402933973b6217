#pragma once

// Marks a text the window shows for the translation tools, which read it as
// QT_TRANSLATE_NOOP(context, text); the window translates it where it shows it
// (QCoreApplication::translate with the same context). The code here stays free
// of Qt and keeps the untranslated text, which is also the C locale's.
#define KORVEL_TEXT(context, text) text

namespace korvel {

// The context of every text marked so.
inline constexpr const char* kTextContext = "Korvel";

}  // namespace korvel
