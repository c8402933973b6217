#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace korvel::ui {

// An up-down spinner bound to a text box, as the KX panels use them: every step
// reads the box's number afresh, so typed text and spinner never disagree.
class UpDown final : public QWidget {
    Q_OBJECT
  public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    QLineEdit* buddy() const { return buddy_; }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }
    // Moves the box's value by `steps` within the range; emits changed() when its text changed.
    void stepBy(int steps);

  signals:
    void changed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLineEdit* buddy_;
    int minimum_;
    int maximum_;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace korvel::ui
