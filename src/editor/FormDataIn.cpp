#include "editor/FormDataIn.h"

TFormDataIn* FormDataIn = nullptr;

TFormDataIn::TFormDataIn(QWidget* parent) : QWidget(parent, Qt::Window) {
  FormDataIn = this;
  setObjectName(QStringLiteral("FormDataIn"));
  setWindowTitle(QStringLiteral("Data modify"));
}

TFormDataIn::~TFormDataIn() {
  if (FormDataIn == this) FormDataIn = nullptr;
}
