#include "editor/FormEdit.h"

TFormEdit* FormEdit = nullptr;

TFormEdit::TFormEdit(QWidget* parent) : QWidget(parent, Qt::Window) {
  FormEdit = this;
  setObjectName(QStringLiteral("FormEdit"));
  setWindowTitle(QStringLiteral("Edit"));
}

TFormEdit::~TFormEdit() {
  if (FormEdit == this) FormEdit = nullptr;
}
