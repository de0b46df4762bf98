#include "app/Option.h"

#include "app/FormMain.h"
#include "common/OptionsFile.h"

#include <QCheckBox>

namespace {

QString optionsOverride;

QString OptionsPath() { return optionsOverride.isEmpty() ? OptionsFileName() : optionsOverride; }

}  // namespace

void SetOptionsFileOverride(const QString& path) { optionsOverride = path; }

bool LoadOptions() {
  if (FormMain == nullptr) return false;
  StoredOptions options{FormMain->OpenDialogFolder, FormMain->CheckBoxRev->isChecked()};
  const bool ok = ReadOptionsFile(OptionsPath(), options);
  FormMain->OpenDialogFolder = options.dir;
  // A changed switch runs its handler, which redraws the graph.
  FormMain->CheckBoxRev->setChecked(options.reverse);
  return ok;
}

void SaveOptions() {
  if (FormMain == nullptr) return;
  WriteOptionsFile(OptionsPath(), {FormMain->OpenDialogFolder, FormMain->CheckBoxRev->isChecked()});
}
