#include "common/OptionsFile.h"

#include "platform/Profile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

QString Fixture(const char* name) {
  return QStringLiteral(KESTO_TEST_DATA_DIR "/options/") + QLatin1String(name);
}

}  // namespace

TEST(OptionsFileNameTest, ReplacesTheExtensionOfTheExecutable) {
  const struct {
    const char* executable;
    const char* options;
  } cases[] = {
      {"/opt/kesto/kesto", "/opt/kesto/kesto.ini"},
      {"/opt/tools/filter.exe", "/opt/tools/filter.ini"},
      {"/opt/my.tools/kesto", "/opt/my.tools/kesto.ini"},
      {"/opt/tools/kesto.1.0", "/opt/tools/kesto.1.ini"},
      {"/opt/tools/kesto.", "/opt/tools/kesto.ini"},
      {"kesto", "kesto.ini"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(OptionsFileNameFor(QString::fromLatin1(c.executable)), QLatin1String(c.options));
  EXPECT_EQ(OptionsFileName(), OptionsFileNameFor(QCoreApplication::applicationFilePath()));
}

TEST(OptionsFileTest, FirstRunCreatesTheTwoByteFileThenSavingFillsIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString ini = dir.filePath("kesto.ini");
  StoredOptions options;
  EXPECT_TRUE(ReadOptionsFile(ini, options));
  EXPECT_EQ(ReadBytes(ini), QByteArray("\xFF\xFE"));
  EXPECT_EQ(options.dir, QString());
  EXPECT_FALSE(options.reverse);

  options.reverse = true;
  ASSERT_TRUE(WriteOptionsFile(ini, options));
  EXPECT_EQ(ReadBytes(ini), Utf16Le("[Option]\r\nDir=\r\nReverse=1\r\n"));

  // The next start finds what the last one left.
  options.dir = QStringLiteral("/a folder/フィルタ");
  options.reverse = false;
  ASSERT_TRUE(WriteOptionsFile(ini, options));
  StoredOptions next;
  EXPECT_TRUE(ReadOptionsFile(ini, next));
  EXPECT_EQ(next.dir, QStringLiteral("/a folder/フィルタ"));
  EXPECT_FALSE(next.reverse);
  EXPECT_EQ(ReadBytes(ini), Utf16Le("[Option]\r\nDir=/a folder/フィルタ\r\nReverse=0\r\n"));
}

TEST(OptionsFileTest, ReverseIsAWholeNumberAndAnyOtherTextCountsAsMissing) {
  const struct {
    const char* file;
    bool whenUnticked;
    bool whenTicked;
  } cases[] = {
      {"reverse-1.ini", true, true},          {"reverse-0.ini", false, false},
      {"reverse-minus-2.ini", true, true},    {"reverse-abc.ini", false, true},
      {"reverse-1.5.ini", false, true},       {"reverse-empty.ini", false, true},
      {"reverse-too-large.ini", false, true}, {"dir-naming-a-missing-folder.ini", false, true},
  };
  for (const auto& c : cases) {
    for (const bool ticked : {false, true}) {
      StoredOptions options{QStringLiteral("/current"), ticked};
      EXPECT_TRUE(ReadOptionsFile(Fixture(c.file), options)) << c.file;
      EXPECT_EQ(options.reverse, ticked ? c.whenTicked : c.whenUnticked) << c.file << ' ' << ticked;
    }
  }
}

TEST(OptionsFileTest, DirIsReadAsStoredWithTheCurrentFolderAsDefault) {
  const struct {
    const char* file;
    QString dir;
  } cases[] = {
      {"reverse-1.ini", "/data/filters"},
      {"dir-missing.ini", "/current"},
      {"dir-empty.ini", ""},
      {"dir-naming-a-missing-folder.ini", "/no/such/folder/anywhere"},
      {"utf8-without-mark.ini", QString::fromUtf8("/home/ユーザー")},
  };
  for (const auto& c : cases) {
    StoredOptions options{QStringLiteral("/current"), false};
    EXPECT_TRUE(ReadOptionsFile(Fixture(c.file), options)) << c.file;
    EXPECT_EQ(options.dir, c.dir) << c.file;
  }
}

TEST(OptionsFileTest, DirIsCutAfter2047Characters) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString ini = dir.filePath("kesto.ini");
  const QString longDir = QStringLiteral("/") + QString(3000, QLatin1Char('d'));
  ASSERT_TRUE(WriteProfileString(ini, "Option", "Dir", longDir));
  StoredOptions options;
  EXPECT_TRUE(ReadOptionsFile(ini, options));
  EXPECT_EQ(options.dir, longDir.left(MaxOptionsDirLength));

  // A character made of two UTF-16 units is not cut in half.
  const QString pairs =
      QStringLiteral("/") + QString(2046, QLatin1Char('d')) + QString::fromUtf8("𝄞𝄞");
  ASSERT_TRUE(WriteProfileString(ini, "Option", "Dir", pairs));
  EXPECT_TRUE(ReadOptionsFile(ini, options));
  EXPECT_EQ(options.dir, pairs.left(2047));
}

TEST(OptionsFileTest, ACutDirReadsTheSameAfterSaving) {
  // A cut that ended in blanks once gave a folder that the file could not
  // keep: saved at closing, it came back without them at the next start.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString ini = dir.filePath("kesto.ini");
  const QString kept = QStringLiteral("/") + QString(2043, QLatin1Char('d'));
  const struct {
    const char* name;
    QString stored;
  } cases[] = {
      {"blanks", kept + QStringLiteral(" \t ") + QStringLiteral("rest of the name")},
      {"a blank then a pair", kept + QStringLiteral("  ") + QString::fromUtf8("𝄞𝄞")},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteProfileString(ini, "Option", "Dir", c.stored)) << c.name;
    StoredOptions options;
    ASSERT_TRUE(ReadOptionsFile(ini, options)) << c.name;
    EXPECT_EQ(options.dir, kept) << c.name;
    ASSERT_TRUE(WriteOptionsFile(ini, options)) << c.name;
    StoredOptions next;
    ASSERT_TRUE(ReadOptionsFile(ini, next)) << c.name;
    EXPECT_EQ(next.dir, options.dir) << c.name;
  }
}

TEST(OptionsFileTest, ReadOnlyFolderKeepsNoSettingsAndStaysSilent) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString folder = dir.filePath("ro");
  ASSERT_TRUE(QDir().mkdir(folder));
  ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
  const QString ini = folder + QStringLiteral("/kesto.ini");

  StoredOptions options{QStringLiteral("/current"), true};
  EXPECT_FALSE(ReadOptionsFile(ini, options));
  EXPECT_EQ(options.dir, QStringLiteral("/current"));
  EXPECT_TRUE(options.reverse);
  EXPECT_FALSE(WriteOptionsFile(ini, options));
  EXPECT_FALSE(QFile::exists(ini));
  chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST(OptionsFileTest, SavingKeepsOtherSectionsAndKeys) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString ini = dir.filePath("kesto.ini");
  {
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Utf16Le("[Print]\r\nMargin=5\r\n\r\n[Option]\r\nDir=/old\r\nColour=blue\r\n"));
  }
  ASSERT_TRUE(WriteOptionsFile(ini, StoredOptions{QStringLiteral("/new"), true}));
  EXPECT_EQ(
      ReadBytes(ini),
      Utf16Le("[Print]\r\nMargin=5\r\n\r\n[Option]\r\nDir=/new\r\nColour=blue\r\nReverse=1\r\n"));
}
