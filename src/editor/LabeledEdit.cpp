#include "editor/LabeledEdit.h"

#include <QLabel>

namespace {
// Distance between the label's bottom and the box's top.
constexpr int LabelSpacing = 3;
}  // namespace

TLabeledEdit::TLabeledEdit(QWidget* parent, const QString& name, const QString& labelText)
    : QLineEdit(parent), label_(new QLabel(parent)) {
  setObjectName(name);
  label_->setObjectName(name + QStringLiteral("Label"));
  label_->setText(labelText);
  label_->setBuddy(this);
  label_->setFocusPolicy(Qt::NoFocus);
}

void TLabeledEdit::SetBounds(int left, int top, int width, int height) {
  setGeometry(left, top, width, height);
  PlaceLabel();
}

void TLabeledEdit::SetLabelText(const QString& text) {
  label_->setText(text);
  PlaceLabel();
}

void TLabeledEdit::setVisible(bool visible) {
  QLineEdit::setVisible(visible);
  label_->setVisible(visible);
}

void TLabeledEdit::PlaceLabel() {
  label_->adjustSize();
  label_->move(x(), y() - label_->height() - LabelSpacing);
}
