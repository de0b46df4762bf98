#pragma once

#include <QWidget>

// The element data dialog, hidden until the editor calls it.
class TFormDataIn : public QWidget {
  Q_OBJECT

 public:
  explicit TFormDataIn(QWidget* parent = nullptr);
  ~TFormDataIn() override;
};

extern TFormDataIn* FormDataIn;
