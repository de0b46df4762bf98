// Saving and loading when the disk misbehaves: a full file system, files and
// folders that vanish or change between the dialog and the write, files that
// shrink or grow while they are read, and options files that are no text or
// far too large. Nothing may crash, the previous file is never damaged and the
// user sees the program's own message.

#include "app/FormMain.h"
#include "app/Option.h"
#include "app/Windows.h"

#include "TestSupport.h"
#include "common/OptionsFile.h"
#include "document/TransferFile.h"
#include "document/TransferTable.h"
#include "platform/FileDialog.h"
#include "platform/Profile.h"
#include "platform/SafeSave.h"
#include "plot/PlotState.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Fixtures = QStringLiteral(KESTO_TEST_DATA_DIR "/transfer/");
const QByteArray OldText = "5,1,1,1000,0,1,3,40,2\r\n1,1,1000,0,0\r\n";

// Files the safe save leaves behind only when it fails to clean up.
QStringList LeftOvers(const QString& folder) {
  return QDir(folder).entryList({QStringLiteral(".kesto-*")},
                                QDir::Files | QDir::Hidden | QDir::System);
}

// A small memory file system, mounted for the test where the system lets us
// (as the administrator outside a restricted container); unmounted again at
// the end.
class SmallDisk {
 public:
  SmallDisk(const QString& folder, int kibibytes) : folder_(folder) {
    if (!QDir().mkpath(folder)) return;
    const QByteArray options = "size=" + QByteArray::number(kibibytes) + "k,mode=0755";
    mounted_ = mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                     options.constData()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }

  // Fills the free space with one file; true when the disk said it is full.
  bool fillUp() const {
    const int fd =
        open(QFile::encodeName(filler()).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const QByteArray block(4096, 'f');
    bool full = false;
    for (qsizetype chunk : {block.size(), qsizetype(1)}) {
      for (;;) {
        if (write(fd, block.constData(), size_t(chunk)) < 0) {
          full = errno == ENOSPC;
          break;
        }
      }
    }
    close(fd);
    return full;
  }
  void makeRoom() const { QFile::remove(filler()); }

 private:
  QString filler() const { return folder_ + QStringLiteral("/filler"); }

  QString folder_;
  bool mounted_ = false;
};

class DiskFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearTransferTable();
    CurrentFile.clear();
    ResetPlotState();
    ASSERT_TRUE(folder.isValid());
    ini = folder.filePath(QStringLiteral("kesto.ini"));
    SetOptionsFileOverride(ini);
  }
  void TearDown() override {
    windows.reset();
    SetFileDialogResponder({});
    SetOptionsFileOverride({});
    ClearTransferTable();
    CurrentFile.clear();
    ResetPlotState();
  }

  // Starts the program (again): the windows read the options file.
  void Start() {
    windows.reset();
    windows = std::make_unique<ProgramWindows>();
  }

  // Answers the next file dialogs with the path after running the action, as
  // if it happened while the dialog was open.
  void Answer(const QString& path, std::function<void()> meanwhile = {}) {
    SetFileDialogResponder([path, meanwhile](QFileDialog&) -> std::optional<QString> {
      if (meanwhile) meanwhile();
      return path;
    });
  }

  // Loads a filter so that there is something to save.
  TransferTableData LoadSomething() {
    FormMain->LoadTransferFile(Fixtures + QStringLiteral("plain-three-stages.csv"));
    EXPECT_FALSE(CurrentFile.isEmpty());
    return TransferTable;
  }

  QTemporaryDir folder;
  QString ini;
  std::unique_ptr<ProgramWindows> windows;
};

}  // namespace

TEST_F(DiskFaultsTest, AFullDiskKeepsTheOldFileAndSaysSo) {
  SmallDisk disk(folder.filePath(QStringLiteral("disk")), 64);
  if (!disk.mounted()) GTEST_SKIP() << "mounting a small file system is not permitted here";
  const QString diskFolder = folder.filePath(QStringLiteral("disk"));
  const QString target = diskFolder + QStringLiteral("/filter.csv");
  const QString options = diskFolder + QStringLiteral("/kesto.ini");
  ASSERT_TRUE(WriteBytes(target, OldText));
  ASSERT_TRUE(WriteOptionsFile(options, {QStringLiteral("/old"), true}));
  const QByteArray oldOptions = ReadBytes(options);
  ASSERT_TRUE(disk.fillUp());

  Start();
  const TransferTableData table = LoadSomething();
  MessageBoxRecorder yes(AnswerYes);
  Answer(target);
  FormMain->Save1->trigger();
  EXPECT_EQ(yes.texts(), (QStringList{OverwriteQuestion, WriteErrorMessage}));
  EXPECT_EQ(ReadBytes(target), OldText);

  const QString fresh = diskFolder + QStringLiteral("/new.csv");
  Answer(fresh);
  FormMain->Save1->trigger();
  EXPECT_EQ(yes.texts().mid(2), QStringList{WriteErrorMessage});
  EXPECT_FALSE(QFileInfo::exists(fresh));

  // The options file of a full disk stays as it was, silently.
  EXPECT_FALSE(WriteOptionsFile(options, {QStringLiteral("/a much longer folder name"), false}));
  EXPECT_EQ(ReadBytes(options), oldOptions);
  EXPECT_TRUE(LeftOvers(diskFolder).isEmpty());

  // Once there is room again the same save goes through.
  disk.makeRoom();
  Answer(target);
  FormMain->Save1->trigger();
  EXPECT_EQ(yes.texts().size(), 4);  // the overwrite question only
  EXPECT_EQ(ReadBytes(target), TransferFileBytes(table));
}

TEST_F(DiskFaultsTest, ChangesBetweenTheOverwriteQuestionAndTheWrite) {
  Start();
  const TransferTableData table = LoadSomething();
  const QString work = folder.filePath(QStringLiteral("work"));
  const QString target = work + QStringLiteral("/filter.csv");
  const QByteArray encodedWork = QFile::encodeName(work);
  const QByteArray encodedTarget = QFile::encodeName(target);
  const struct {
    const char* name;
    std::function<void()> meanwhile;
    bool saved;
  } cases[] = {
      {"the file is removed", [&] { QFile::remove(target); }, true},
      {"the file becomes read-only", [&] { chmod(encodedTarget.constData(), 0444); }, false},
      {"the file is replaced by a folder",
       [&] {
         QFile::remove(target);
         QDir().mkdir(target);
       },
       false},
      {"the folder becomes read-only", [&] { chmod(encodedWork.constData(), 0555); }, false},
      {"the folder is removed", [&] { QDir(work).removeRecursively(); }, false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(QDir().mkpath(work));
    ASSERT_TRUE(WriteBytes(target, OldText));
    MessageBoxRecorder recorder([&](const MessageBoxRequest& box) {
      if (box.text == OverwriteQuestion) c.meanwhile();
      return AnswerYes;
    });
    Answer(target);
    FormMain->Save1->trigger();

    chmod(encodedWork.constData(), 0755);
    chmod(encodedTarget.constData(), 0644);
    if (c.saved) {
      EXPECT_EQ(recorder.texts(), QStringList{OverwriteQuestion}) << c.name;
      EXPECT_EQ(ReadBytes(target), TransferFileBytes(table)) << c.name;
    } else {
      EXPECT_EQ(recorder.texts(), (QStringList{OverwriteQuestion, WriteErrorMessage})) << c.name;
      const QFileInfo info(target);
      if (info.isFile()) {
        EXPECT_EQ(ReadBytes(target), OldText) << c.name;
      }
    }
    if (QFileInfo(work).isDir()) {
      EXPECT_TRUE(LeftOvers(work).isEmpty()) << c.name;
    }
    EXPECT_EQ(QFileInfo(work).exists(), std::string(c.name) != "the folder is removed") << c.name;
    QDir(work).removeRecursively();
  }
}

TEST_F(DiskFaultsTest, AFolderRemovedWhileTheSaveDialogIsOpen) {
  Start();
  LoadSomething();
  const QString work = folder.filePath(QStringLiteral("work"));
  ASSERT_TRUE(QDir().mkdir(work));
  MessageBoxRecorder recorder(AnswerYes);
  Answer(work + QStringLiteral("/filter.csv"), [&] { QDir(work).removeRecursively(); });
  FormMain->Save1->trigger();
  EXPECT_EQ(recorder.texts(), QStringList{WriteErrorMessage});
  EXPECT_FALSE(QFileInfo::exists(work));
}

TEST_F(DiskFaultsTest, AFileCutShortBeforeItIsReadLoadsWhatIsLeft) {
  Start();
  const QString path = folder.filePath(QStringLiteral("filter.csv"));
  const QByteArray whole = ReadBytes(Fixtures + QStringLiteral("plain-three-stages.csv"));
  const struct {
    const char* name;
    qsizetype keep;  // bytes left when the file is read
    bool loads;      // the load succeeds
    int stages;      // and gives this many stages
  } cases[] = {
      {"emptied", 0, false, 0},
      {"cut after the title lines", whole.indexOf("5,1"), false, 0},
      {"cut after the header line", whole.indexOf("\r\n1,1") + 2, true, 0},
      {"cut inside the last stage line", whole.size() - 10, true, 3},
      {"cut after the second stage line", whole.lastIndexOf("3,1"), true, 2},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteBytes(path, whole));
    FormMain->LoadTransferFile(Fixtures + QStringLiteral("plain-three-stages.csv"));
    const TransferTableData before = TransferTable;
    MessageBoxRecorder recorder;
    Answer(path, [&] { ASSERT_EQ(truncate(QFile::encodeName(path).constData(), c.keep), 0); });
    FormMain->Load1->trigger();
    if (c.loads) {
      EXPECT_TRUE(recorder.texts().isEmpty()) << c.name;
      EXPECT_EQ(CurrentFile, path) << c.name;
      EXPECT_EQ(StageCount(), c.stages) << c.name;
    } else {
      EXPECT_EQ(recorder.texts(), QStringList{FileNotFoundMessage}) << c.name;
      EXPECT_EQ(TransferTable, before) << c.name;
    }
  }
}

TEST_F(DiskFaultsTest, FilesThatShrinkOrGrowWhileTheyAreRead) {
  const QString path = folder.filePath(QStringLiteral("moving.csv"));
  QByteArray whole = ReadBytes(Fixtures + QStringLiteral("stage-lines-30.csv"));
  // Padded near the largest file read, so that a read takes a while.
  whole += QByteArray(MaxTransferFileBytes - 4096 - whole.size(), ' ');
  ASSERT_TRUE(WriteBytes(path, whole));

  std::atomic<bool> stop = false;
  // One writer cuts the file and fills it again, over and over.
  std::thread cutter([&] {
    const QByteArray encoded = QFile::encodeName(path);
    for (int round = 0; !stop; ++round) {
      const int fd = open(encoded.constData(), O_WRONLY);
      if (fd < 0) continue;
      if (ftruncate(fd, round % 7 * 100) == 0 && round % 2 == 0)
        (void)!write(fd, whole.constData(), size_t(whole.size()));
      close(fd);
    }
  });
  int reads = 0;
  for (; reads < 100; ++reads) {
    const TransferFileContent content = ReadTransferFile(path);
    if (content.ok) {
      const double n = content.table[FilterHeader::N];
      EXPECT_TRUE(n >= 0 && n <= MaxStages) << n;
    }
  }
  stop = true;
  cutter.join();
  EXPECT_EQ(reads, 100);

  // A file that keeps growing is read up to the limit and no further.
  ASSERT_TRUE(WriteBytes(path, whole));
  stop = false;
  std::thread grower([&] {
    QFile file(path);
    if (!file.open(QIODevice::Append)) return;
    const QByteArray chunk(64 * 1024, ' ');
    // Past the limit in any case, then on until the reads are done.
    for (int i = 0; i < 64 && (i < 2 || !stop); ++i) {
      file.write(chunk);
      file.flush();
    }
  });
  for (int i = 0; i < 20; ++i) ReadTransferFile(path);
  stop = true;
  grower.join();
  EXPECT_FALSE(ReadTransferFile(path).ok);  // now far beyond the limit
}

TEST_F(DiskFaultsTest, OptionsFilesThatAreNoTextOrTooLargeNeverStopTheProgram) {
  const char raw[] = "\x00\xFF\x80\r\n\r[Opt\x00ion\n=\x01\x02=\xC3(\xE2\x82\r\x7F]]\n\xFE";
  const QByteArray garbage(raw, sizeof raw - 1);
  const QByteArray huge =
      "[Option]\r\nDir=/huge\r\nReverse=1\r\n" + QByteArray(MaxProfileFileBytes, ';');
  const QByteArray oddUtf16 = Utf16Le(QStringLiteral("[Option]\r\nDir=/odd\r\nReverse=1")) + 'Z';
  const QString dir = folder.path();
  const struct {
    const char* name;
    QByteArray content;
    QString dirAtStart;  // what the first start reads
    // What closing the program leaves, given the switch's state.
    std::function<QByteArray(bool reverse)> saved;
  } cases[] = {
      // No section: the settings follow the old bytes, which all stay.
      {"binary garbage", garbage, QString(),
       [&](bool reverse) {
         return garbage + "\r\n[Option]\r\nDir=" + QFile::encodeName(dir) +
                "\r\nReverse=" + (reverse ? "1" : "0") + "\r\n";
       }},
      // Not read, and so not written either.
      {"larger than 64 KiB", huge, QString(), [&](bool) { return huge; }},
      // The odd byte stays at the end, once.
      {"UTF-16 of odd length", oddUtf16, QStringLiteral("/odd"),
       [&](bool reverse) {
         return Utf16Le(QStringLiteral("[Option]\r\nDir=") + dir + QStringLiteral("\r\nReverse=") +
                        (reverse ? u'1' : u'0')) +
                'Z';
       }},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteBytes(ini, c.content));
    MessageBoxRecorder recorder;
    Start();
    EXPECT_EQ(FormMain->OpenDialogFolder, c.dirAtStart) << c.name;
    FormMain->OpenDialogFolder = dir;
    FormMain->CheckBoxRev->setChecked(!FormMain->CheckBoxRev->isChecked());
    const bool reverse = FormMain->CheckBoxRev->isChecked();
    FormMain->close();
    const QByteArray expected = c.saved(reverse);
    EXPECT_EQ(ReadBytes(ini), expected) << c.name;

    Start();
    const bool kept = expected != c.content;
    EXPECT_EQ(FormMain->OpenDialogFolder, kept ? dir : QString()) << c.name;
    if (kept) {
      EXPECT_EQ(FormMain->CheckBoxRev->isChecked(), reverse) << c.name;
    }
    windows.reset();
    EXPECT_TRUE(recorder.texts().isEmpty()) << c.name;
  }
}
