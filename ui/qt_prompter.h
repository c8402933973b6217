#pragma once

#include <QPointer>
#include <QWidget>

#include "link/prompter.h"

namespace korvel::ui {

class QtPrompter final : public Prompter {
  public:
    void setParent(QWidget* parent) { parent_ = parent; }
    MessageAnswer show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace korvel::ui
