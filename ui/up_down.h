#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace korvel::ui {

// An up-down spinner bound to a text box: a step takes the number at the start
// of the box's text, moves it by one within [minimum, maximum] and writes it
// back. The box stays free text, so the buttons still see what the user typed.
class UpDown final : public QWidget {
    Q_OBJECT
  public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent);

    void stepBy(int delta);
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* buddy_;
    int minimum_;
    int maximum_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace korvel::ui
