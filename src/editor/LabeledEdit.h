#pragma once

#include <QLineEdit>

class QLabel;

// A one-line edit box that carries its label above it: the label stands at the
// box's left edge, 3 pixels above its top, sized to its text, and is shown and
// hidden together with the box. The label is a sibling named after the box
// with "Label" appended.
class TLabeledEdit : public QLineEdit {
  Q_OBJECT

 public:
  TLabeledEdit(QWidget* parent, const QString& name, const QString& labelText);

  QLabel* EditLabel() const { return label_; }
  // Places the box (parent coordinates) and its label above it.
  void SetBounds(int left, int top, int width, int height);
  void SetLabelText(const QString& text);

  void setVisible(bool visible) override;

 private:
  void PlaceLabel();

  QLabel* label_;
};
