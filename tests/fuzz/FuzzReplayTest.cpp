// Replays every seed and every input the fuzzers ever found a fault with
// through the bodies of the fuzz targets, in the ordinary test build. A broken
// rule aborts the program with the rule and the file named.

#include "FuzzBodies.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <functional>
#include <string>

namespace {

const QString FuzzFolder = QStringLiteral(KESTO_FUZZ_DIR);

struct Target {
  const char* name;  // the folder under corpus/ and crashes/
  std::function<void(const std::uint8_t*, std::size_t)> body;
  bool needsCrashes;  // faults were found with this target
};

const Target Targets[] = {
    {"transfer_file", fuzz::TransferFileInput, true},
    {"parse_eng", fuzz::ParseEngInput, false},
    {"options_file", fuzz::OptionsFileInput, true},
};

// Replays the files of one folder, hidden ones aside; the number replayed.
int Replay(const Target& target, const QString& folder) {
  int count = 0;
  const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
  for (const QFileInfo& info : files) {
    QFile file(info.filePath());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << info.filePath().toStdString();
    const QByteArray bytes = file.readAll();
    const std::string label = info.filePath().toStdString();
    fuzz::SetInputLabel(label.c_str());
    target.body(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                std::size_t(bytes.size()));
    fuzz::SetInputLabel(nullptr);
    ++count;
  }
  return count;
}

}  // namespace

TEST(FuzzReplayTest, EverySeedAndEveryFoundInputKeepsTheRules) {
  for (const Target& target : Targets) {
    const QString name = QLatin1String(target.name);
    // An empty seed folder would mean the corpus went missing.
    EXPECT_GE(Replay(target, FuzzFolder + QStringLiteral("/corpus/") + name), 5) << target.name;
    const int crashes = Replay(target, FuzzFolder + QStringLiteral("/crashes/") + name);
    if (target.needsCrashes) {
      EXPECT_GT(crashes, 0) << target.name;
    }
  }
}

// The bodies themselves: edge inputs that need no file.
TEST(FuzzReplayTest, EmptyAndTinyInputsAreFine) {
  for (const Target& target : Targets) {
    target.body(nullptr, 0);
    for (int byte = 0; byte < 256; ++byte) {
      const std::uint8_t one[] = {std::uint8_t(byte)};
      target.body(one, 1);
      const std::uint8_t three[] = {std::uint8_t(byte), std::uint8_t(byte), std::uint8_t(byte)};
      target.body(three, 3);
    }
  }
}
