#include "platform/SafeSave.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t ModeOf(const QString& path) {
  struct stat status {};
  EXPECT_EQ(stat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
  return status.st_mode & 07777;
}

void SetMode(const QString& path, mode_t mode) {
  ASSERT_EQ(chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

const QByteArray OldText = "the old file\r\n";
const QByteArray NewText =
    "Order,Rtype,Ftype,fo|fc,fb,n,Ap,As,Ws\r\nType,H,fo|fa,Q,fn\r\n0,0,0,0,0,0,0,0,0\r\n";

class SafeSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    folder_ = root_.filePath(QStringLiteral("work"));
    ASSERT_TRUE(QDir().mkdir(folder_));
    old_ = folder_ + QStringLiteral("/filter.csv");
    ASSERT_TRUE(WriteBytes(old_, OldText));
  }
  void TearDown() override {
    // Let QTemporaryDir remove everything again.
    chmod(QFile::encodeName(folder_).constData(), 0755);
  }

  // Only the files the test made are in the folder: no partial new file.
  QStringList entries() const {
    return QDir(folder_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                   QDir::NoDotAndDotDot);
  }

  QTemporaryDir root_;
  QString folder_;
  QString old_;
};

}  // namespace

TEST_F(SafeSaveTest, ReplacesTheContentAndKeepsThePermissions) {
  SetMode(old_, 0640);
  ASSERT_TRUE(SaveFileSafely(old_, NewText));
  EXPECT_EQ(ReadBytes(old_), NewText);
  EXPECT_EQ(ModeOf(old_), mode_t(0640));
  EXPECT_EQ(entries(), QStringList{"filter.csv"});
}

TEST_F(SafeSaveTest, NewFileGetsTheUsualPermissions) {
  const mode_t mask = umask(022);
  const QString target = folder_ + QStringLiteral("/new.csv");
  const bool saved = SaveFileSafely(target, NewText);
  umask(mask);
  ASSERT_TRUE(saved);
  EXPECT_EQ(ReadBytes(target), NewText);
  EXPECT_EQ(ModeOf(target), mode_t(0644));
}

TEST_F(SafeSaveTest, EmptyContentMakesAnEmptyFile) {
  ASSERT_TRUE(SaveFileSafely(old_, QByteArray()));
  EXPECT_EQ(QFileInfo(old_).size(), 0);
}

TEST_F(SafeSaveTest, ASymbolicLinkStaysALink) {
  const QString link = folder_ + QStringLiteral("/link.csv");
  ASSERT_TRUE(QFile::link(old_, link));
  ASSERT_TRUE(SaveFileSafely(link, NewText));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(ReadBytes(old_), NewText);

  // A link to a file that does not exist yet creates that file.
  const QString dangling = folder_ + QStringLiteral("/dangling.csv");
  ASSERT_TRUE(QFile::link(folder_ + QStringLiteral("/target.csv"), dangling));
  ASSERT_TRUE(SaveFileSafely(dangling, NewText));
  EXPECT_EQ(ReadBytes(folder_ + QStringLiteral("/target.csv")), NewText);
}

TEST_F(SafeSaveTest, FailuresLeaveTheOldFileIntact) {
  const QString longName = QString(300, QLatin1Char('x')) + QStringLiteral(".csv");
  QString longPath = folder_;
  while (longPath.size() < 5000) longPath += QStringLiteral("/very-long-folder-name");
  const struct {
    const char* name;
    QString target;
    mode_t fileMode;
    mode_t folderMode;
  } cases[] = {
      {"read-only file", old_, 0444, 0755},
      {"read-only folder", old_, 0644, 0555},
      {"new file in read-only folder", folder_ + QStringLiteral("/new.csv"), 0644, 0555},
      {"regular file used as a folder", old_ + QStringLiteral("/new.csv"), 0644, 0755},
      {"name component too long", folder_ + u'/' + longName, 0644, 0755},
      {"path too long", longPath + QStringLiteral("/new.csv"), 0644, 0755},
      {"missing folder", folder_ + QStringLiteral("/missing/new.csv"), 0644, 0755},
      {"a folder as target", folder_, 0644, 0755},
      {"empty path", QString(), 0644, 0755},
  };
  for (const auto& c : cases) {
    SetMode(old_, c.fileMode);
    SetMode(folder_, c.folderMode);
    EXPECT_FALSE(SaveFileSafely(c.target, NewText)) << c.name;
    SetMode(folder_, 0755);
    SetMode(old_, 0644);
    EXPECT_EQ(ReadBytes(old_), OldText) << c.name;
    EXPECT_EQ(entries(), QStringList{"filter.csv"}) << c.name;
  }
}

TEST_F(SafeSaveTest, AFullDiskLeavesTheOldFileIntact) {
  // The file size limit makes writes fail part-way, as a full disk does,
  // also for the administrator.
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool result = SaveFileSafely(old_, NewText);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(result);
  EXPECT_EQ(ReadBytes(old_), OldText);
  EXPECT_EQ(entries(), QStringList{"filter.csv"});
}

TEST(SafeSaveDeviceTest, DeviceIsWrittenDirectlyAndItsErrorsCount) {
  struct stat before {};
  ASSERT_EQ(stat("/dev/full", &before), 0);
  EXPECT_FALSE(SaveFileSafely(QStringLiteral("/dev/full"), NewText));
  EXPECT_TRUE(SaveFileSafely(QStringLiteral("/dev/null"), NewText));
  struct stat after {};
  ASSERT_EQ(stat("/dev/full", &after), 0);
  EXPECT_TRUE(S_ISCHR(after.st_mode));
  EXPECT_EQ(after.st_rdev, before.st_rdev);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_TRUE(QDir(QStringLiteral("/dev"))
                  .entryList({".kesto-*"}, QDir::Files | QDir::Hidden | QDir::System)
                  .isEmpty());
}
