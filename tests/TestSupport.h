#pragma once

#include "common/MessageDlg.h"
#include "platform/FloatError.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

// Records every message box instead of showing it and answers with a fixed
// code (or with a function of the box). Restores real boxes when destroyed.
class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(int answer = AnswerOk);
  explicit MessageBoxRecorder(std::function<int(const MessageBoxRequest&)> answer);
  ~MessageBoxRecorder();

  const QList<MessageBoxRequest>& boxes() const { return boxes_; }
  QStringList texts() const;

 private:
  QList<MessageBoxRequest> boxes_;
};

// Fuzzy comparison of doubles with an explicit relative tolerance.
bool NearlyEqual(double actual, double expected, double relativeTolerance);

// One stage row of the transfer table: type code, H, fo|fa, Q, fn.
struct StageValues {
  double type, h, fo, q, fn;
};

// Puts the stages into table rows 2 .. and their number into n.
void SetStages(const std::vector<StageValues>& stages);
inline void SetStages(std::initializer_list<StageValues> stages) {
  SetStages(std::vector<StageValues>(stages));
}

// The arithmetic fault an action raised, or none.
std::optional<FloatErrorKind> FaultOf(const std::function<void()>& action);

// ---- Files

// The whole content of a file, or "<unreadable>" when it cannot be opened.
inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
  return file.readAll();
}

// Makes bytes the whole content of the file; false when that failed.
inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(bytes) == bytes.size() && file.flush();
}

// The text in UTF-16 little-endian, code unit by code unit, after the mark
// FF FE: the form of the options file.
inline QByteArray Utf16Le(const QString& text) {
  QByteArray bytes("\xFF\xFE");
  for (QChar c : text) {
    bytes += char(c.unicode() & 0xFF);
    bytes += char(c.unicode() >> 8);
  }
  return bytes;
}
