#pragma once

#include <QString>

#include <functional>
#include <optional>

class QFileDialog;

// Shows a file dialog modally and returns the chosen path, or nothing when
// the user cancelled. Tests answer dialogs instead of showing them: while a
// responder is set, it receives the prepared dialog (folder, filters, file
// name) and its return value is the answer.
using FileDialogResponder = std::function<std::optional<QString>(QFileDialog& dialog)>;
void SetFileDialogResponder(FileDialogResponder responder);
std::optional<QString> RunFileDialog(QFileDialog& dialog);
