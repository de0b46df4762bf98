#pragma once

#include <QWidget>

// The transfer-function editor window, hidden until the menu calls it.
class TFormEdit : public QWidget {
  Q_OBJECT

 public:
  explicit TFormEdit(QWidget* parent = nullptr);
  ~TFormEdit() override;
};

extern TFormEdit* FormEdit;
