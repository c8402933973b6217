#pragma once

#include <string>

namespace korvel {

enum class MessageIcon { None, Exclamation, Critical };
enum class MessageButtons { Ok, OkCancel };
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
inline constexpr const char* kNoAnswer = "Geen antwoord van Korvel";
inline constexpr const char* kSelectPort = "Selecteer communicatie poort";
inline constexpr const char* kOpenPortFailed = "Fout bij openen COM poort";
inline constexpr const char* kOperationCancelled = "Operation Cancelled";

// Asks before an irreversible command; anything but OK says "Operation Cancelled".
inline bool confirmOrCancel(Prompter& prompter, const std::string& warning) {
    if (prompter.show(warning, MessageIcon::Exclamation, MessageButtons::OkCancel) ==
        MessageAnswer::Ok)
        return true;
    prompter.show(kOperationCancelled, MessageIcon::None);
    return false;
}

}  // namespace korvel
