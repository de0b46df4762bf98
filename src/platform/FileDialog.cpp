#include "platform/FileDialog.h"

#include <QFileDialog>

namespace {
FileDialogResponder responder;
}

void SetFileDialogResponder(FileDialogResponder r) { responder = std::move(r); }

std::optional<QString> RunFileDialog(QFileDialog& dialog) {
  if (responder) return responder(dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.front();
}
