#pragma once

#include <QPointer>
#include <QWidget>

#include "ui_model/prompter.h"

namespace korvel::ui {

class QtPrompter final : public Prompter {
  public:
    void setParent(QWidget* parent) { parent_ = parent; }
    MessageAnswer show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    void showWithDetail(const std::string& text, const std::string& detail,
                        MessageIcon icon) override;

  private:
    MessageAnswer run(const std::string& text, const std::string& detail, MessageIcon icon,
                      MessageButtons buttons);

  private:
    QPointer<QWidget> parent_;
};

}  // namespace korvel::ui
