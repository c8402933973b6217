#pragma once

#include <string>

#include "ui_model/translatable.h"

namespace korvel {

enum class MessageIcon { None, Exclamation, Critical };
// OkCancelDefaultCancel: Enter answers Cancel, for a warning that nothing must go past by accident.
enum class MessageButtons { Ok, OkCancel, OkCancelDefaultCancel };
enum class MessageAnswer { Ok, Cancel };

// Modal message boxes; the window shows QMessageBox, tests record the texts.
class Prompter {
  public:
    virtual ~Prompter() = default;
    virtual MessageAnswer show(const std::string& text, MessageIcon icon = MessageIcon::Exclamation,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
    // An OK box whose detail text explains the cause; without a detail it is show().
    virtual void showWithDetail(const std::string& text, const std::string& detail,
                                MessageIcon icon = MessageIcon::Exclamation) {
        (void)detail;
        show(text, icon);
    }
};

// Message texts shared by several operations.
inline constexpr const char* kNoAnswer = KORVEL_TEXT("Korvel", "Geen antwoord van Korvel");
inline constexpr const char* kSelectPort = KORVEL_TEXT("Korvel", "Selecteer communicatie poort");
inline constexpr const char* kOpenPortFailed = KORVEL_TEXT("Korvel", "Fout bij openen COM poort");
inline constexpr const char* kOperationCancelled = KORVEL_TEXT("Korvel", "Operation Cancelled");

// Asks before an irreversible command; anything but OK says "Operation Cancelled".
inline bool confirmOrCancel(Prompter& prompter, const std::string& warning,
                            MessageButtons buttons = MessageButtons::OkCancel) {
    if (prompter.show(warning, MessageIcon::Exclamation, buttons) == MessageAnswer::Ok) return true;
    prompter.show(kOperationCancelled, MessageIcon::None);
    return false;
}

}  // namespace korvel
