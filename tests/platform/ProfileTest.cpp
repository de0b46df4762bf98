#include "platform/Profile.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

QString Fixture(const char* name) {
  return QStringLiteral(KESTO_TEST_DATA_DIR "/profile/") + QLatin1String(name);
}

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  // A writable copy of a fixture.
  QString copy(const char* fixture) {
    const QString path = dir_.filePath(QLatin1String(fixture));
    EXPECT_TRUE(QFile::copy(Fixture(fixture), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return path;
  }

  QTemporaryDir dir_;
};

}  // namespace

TEST_F(ProfileTest, ReadsKeysOfSectionsInAnyLetterCase) {
  const QString file = Fixture("other-sections-keys-comments.ini");
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"Window", "Left", "10"},
      {"window", "TOP", "20"},
      {"Option", "Dir", "/old/folder"},
      {"OPTION", "other", "keep me"},
      {"Tail", "x", "1"},
      {"Option", "Reverse", "<default>"},
      {"Missing", "x", "<default>"},
      {"Option", "# the folder", "<default>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadProfileString(file, QLatin1String(c.section), QLatin1String(c.key),
                                QStringLiteral("<default>")),
              QLatin1String(c.value))
        << c.section << '/' << c.key;
  EXPECT_EQ(ReadProfileString(dir_.filePath("missing.ini"), "Option", "Dir", "d"), "d");
  EXPECT_EQ(ReadProfileString(dir_.path(), "Option", "Dir", "d"), "d");  // a folder
}

TEST_F(ProfileTest, FirstKeyAndFirstSectionWin) {
  const QString file = Fixture("duplicate-keys-and-sections.ini");
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", ""), "/first");
  EXPECT_EQ(ReadProfileString(file, "Option", "Reverse", ""), "1");  // in the second [OPTION]
  EXPECT_EQ(ReadProfileString(Fixture("keys-outside-any-section.ini"), "Option", "Dir", "d"), "d");
}

TEST_F(ProfileTest, WritingKeepsEveryOtherLine) {
  const QString file = copy("other-sections-keys-comments.ini");
  ASSERT_TRUE(WriteProfileString(file, "Option", "Dir", "/new/folder"));
  ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", "1"));
  ASSERT_TRUE(WriteProfileString(file, "Extra", "k", "v"));
  EXPECT_EQ(ReadBytes(file), QByteArray("; Kesto settings, edited by hand\r\n"
                                        "[Window]\r\n"
                                        "Left=10\r\n"
                                        "Top = 20\r\n"
                                        "\r\n"
                                        "[option]\r\n"
                                        "# the folder\r\n"
                                        "dir=/new/folder\r\n"
                                        "Other=keep me\r\n"
                                        "Reverse=1\r\n"
                                        "\r\n"
                                        "[Tail]\r\n"
                                        "x=1\r\n"
                                        "[Extra]\r\n"
                                        "k=v\r\n"));
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", ""), "/new/folder");
}

TEST_F(ProfileTest, WritingTheSameValueAgainChangesNothing) {
  const QString file = copy("other-sections-keys-comments.ini");
  const QByteArray before = ReadBytes(file);
  ASSERT_TRUE(WriteProfileString(file, "Window", "Left", "10"));
  EXPECT_EQ(ReadBytes(file), before);
}

TEST_F(ProfileTest, NewLinesFollowTheFilesLineBreaks) {
  const QString file = copy("lf-without-final-line-break.ini");
  ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", "0"));
  EXPECT_EQ(ReadBytes(file), QByteArray("[Option]\nDir=/a\nReverse=0\n"));
}

TEST_F(ProfileTest, MissingFileIsCreatedInUtf8) {
  const QString file = dir_.filePath("new.ini");
  ASSERT_TRUE(WriteProfileString(file, "Option", "Dir", QString::fromUtf8("/home/ユーザー")));
  ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", "0"));
  EXPECT_EQ(ReadBytes(file),
            QString::fromUtf8("[Option]\r\nDir=/home/ユーザー\r\nReverse=0\r\n").toUtf8());
}

TEST_F(ProfileTest, Utf8MarkIsKept) {
  const QString file = copy("utf8-mark.ini");
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", ""), QString::fromUtf8("/über"));
  ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", "1"));
  EXPECT_EQ(ReadBytes(file), QByteArray("\xEF\xBB\xBF") +
                                 "[Option]\r\nDir=/\xC3\xBC"
                                 "ber\r\nReverse=1\r\n");
}

TEST_F(ProfileTest, Utf16FileWithNonAsciiFolderSurvivesARoundTrip) {
  const QString file = copy("utf16le-japanese-dir.ini");
  const QString folder = QString::fromUtf8("/home/利用者/フィルタ");
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", ""), folder);

  const QString other = QString::fromUtf8("/données/фильтры/𝄞");  // outside the basic plane too
  ASSERT_TRUE(WriteProfileString(file, "Option", "Dir", other));
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", ""), other);
  ASSERT_TRUE(WriteProfileString(file, "Option", "Dir", folder));
  EXPECT_EQ(ReadBytes(file), ReadBytes(Fixture("utf16le-japanese-dir.ini")));

  ASSERT_TRUE(WriteProfileString(file, "Option", "New", QString::fromUtf8("値")));
  EXPECT_EQ(ReadBytes(file),
            Utf16Le(QString::fromUtf8(
                "; 設定\r\n[Option]\r\nDir=/home/利用者/フィルタ\r\nReverse=1\r\nNew=値\r\n")));
}

TEST_F(ProfileTest, OnlyTheMarkMeansAnEmptyUtf16File) {
  const QString file = dir_.filePath("options.ini");
  {
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("\xFF\xFE");
  }
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", "d"), "d");
  ASSERT_TRUE(WriteProfileString(file, "Option", "Dir", ""));
  ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", "0"));
  EXPECT_EQ(ReadBytes(file), Utf16Le("[Option]\r\nDir=\r\nReverse=0\r\n"));
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", "d"), "");
}

TEST_F(ProfileTest, BytesThatAreNoTextSurviveAWrite) {
  const QString file = copy("utf16le-lone-surrogate-and-odd-byte.ini");
  const QByteArray before = ReadBytes(file);
  ASSERT_TRUE(WriteProfileString(file, "Option", "Dir", "/y"));
  QByteArray expected = before;
  const QByteArray oldLine = Utf16Le("Dir=/x").mid(2);
  expected.replace(expected.indexOf(oldLine), oldLine.size(), Utf16Le("Dir=/y").mid(2));
  EXPECT_EQ(ReadBytes(file), expected);
}

TEST_F(ProfileTest, DuplicatesChangeOnlyTheFirstKey) {
  const QString file = copy("duplicate-keys-and-sections.ini");
  ASSERT_TRUE(WriteProfileString(file, "option", "dir", "/changed"));
  ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", "0"));
  ASSERT_TRUE(WriteProfileString(file, "Option", "New", "n"));
  EXPECT_EQ(ReadBytes(file), QByteArray("[Option]\r\nDir=/changed\r\nDir=/second\r\nNew=n\r\n"
                                        "[Other]\r\nReverse=5\r\n"
                                        "[OPTION]\r\nReverse=0\r\nDir=/third\r\n"));
}

TEST_F(ProfileTest, ReadsWholeNumbers) {
  const QString file = dir_.filePath("numbers.ini");
  const struct {
    const char* text;
    int value;
  } cases[] = {
      {"1", 1},           {"0", 0},    {"-2", -2},   {"+3", 3},
      {" 7 ", 7},         {"abc", 42}, {"1.5", 42},  {"", 42},
      {"12abc", 42},      {"-", 42},   {"0x10", 42}, {"2147483647", 2147483647},
      {"2147483648", 42}, {"１", 42},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", QString::fromUtf8(c.text)));
    EXPECT_EQ(ReadProfileInt(file, "Option", "Reverse", 42), c.value) << c.text;
  }
  EXPECT_EQ(ReadProfileInt(file, "Option", "Missing", -5), -5);
}

TEST_F(ProfileTest, RefusedWritesLeaveTheFileAsItWas) {
  const QString file = copy("other-sections-keys-comments.ini");
  const QByteArray before = ReadBytes(file);
  EXPECT_FALSE(WriteProfileString(file, "Option", "Dir", "two\nlines"));
  EXPECT_FALSE(WriteProfileString(file, "Option", "Dir", "cr\r"));
  EXPECT_FALSE(WriteProfileString(file, "Option", "a=b", "v"));
  EXPECT_FALSE(WriteProfileString(file, "Option", "", "v"));
  EXPECT_FALSE(WriteProfileString(file, "Op]tion", "k", "v"));
  EXPECT_FALSE(WriteProfileString(file, "", "k", "v"));
  EXPECT_EQ(ReadBytes(file), before);

  // A file that cannot be read is not overwritten.
  const QString folderAsFile = dir_.filePath("folder.ini");
  ASSERT_TRUE(QDir().mkdir(folderAsFile));
  EXPECT_FALSE(WriteProfileString(folderAsFile, "Option", "Dir", "x"));
  EXPECT_TRUE(QFileInfo(folderAsFile).isDir());
}

TEST_F(ProfileTest, ReadOnlyFolderKeepsNothing) {
  const QString folder = dir_.filePath("ro");
  ASSERT_TRUE(QDir().mkdir(folder));
  ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
  EXPECT_FALSE(WriteProfileString(folder + "/options.ini", "Option", "Dir", "/x"));
  EXPECT_FALSE(QFile::exists(folder + "/options.ini"));
  chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST_F(ProfileTest, AnOddLastByteOfAUtf16FileStaysOnceAtTheEnd) {
  // The odd byte once counted both as part of a last line without a line
  // break and as the byte kept behind the text: saved twice, it made a new
  // character of the last line, and the value there was lost.
  const struct {
    const char* name;
    QString text;
  } cases[] = {
      {"last line without line break", "[Option]\r\nDir=/x\r\nReverse=1"},
      {"final line break", "[Option]\r\nDir=/x\r\nReverse=1\r\n"},
      {"only a section", "[Option]"},
      {"nothing but the mark", ""},
  };
  for (const auto& c : cases) {
    const QString file = dir_.filePath("odd.ini");
    const QByteArray before = Utf16Le(c.text) + '\x0d';
    ASSERT_TRUE(WriteBytes(file, before));
    const QString reverse = ReadProfileString(file, "Option", "Reverse", "<default>");
    ASSERT_TRUE(WriteProfileString(file, "Option", "Dir", "/x")) << c.name;
    ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", reverse)) << c.name;
    const QByteArray after = ReadBytes(file);
    EXPECT_EQ(after.size() % 2, 1) << c.name;
    EXPECT_TRUE(after.endsWith('\x0d')) << c.name;
    EXPECT_FALSE(after.endsWith("\x0d\x0d")) << c.name;
    EXPECT_EQ(ReadProfileString(file, "Option", "Dir", "d"), "/x") << c.name;
    EXPECT_EQ(ReadProfileString(file, "Option", "Reverse", "d"), reverse) << c.name;
    // Saving the same values again changes no byte.
    ASSERT_TRUE(WriteProfileString(file, "Option", "Reverse", reverse)) << c.name;
    EXPECT_EQ(ReadBytes(file), after) << c.name;
    if (c.text.contains(u"Reverse=1")) {
      EXPECT_EQ(after, before) << c.name;
    }
  }
}

TEST_F(ProfileTest, OnlyRegularFilesOfAtMost64KiBAreRead) {
  // A pipe or an endless device given as the file once hung the program or
  // filled its memory: such a file counts as one that cannot be read.
  const QString pipe = dir_.filePath("pipe.ini");
  ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  const QString zeroLink = dir_.filePath("zero.ini");
  ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
  for (const QString& file : {pipe, zeroLink, QStringLiteral("/dev/zero")}) {
    EXPECT_EQ(ReadProfileString(file, "Option", "Dir", "d"), "d") << file.toStdString();
    EXPECT_EQ(ReadProfileInt(file, "Option", "Reverse", 7), 7) << file.toStdString();
    EXPECT_FALSE(WriteProfileString(file, "Option", "Dir", "/x")) << file.toStdString();
  }
  struct stat status {};
  ASSERT_EQ(stat(QFile::encodeName(pipe).constData(), &status), 0);
  EXPECT_TRUE(S_ISFIFO(status.st_mode));

  // Up to the limit the file is read and written; one byte more and it is
  // left alone.
  const QByteArray head = "[Option]\r\nDir=/big\r\n;";
  const QByteArray largest = head + QByteArray(MaxProfileFileBytes - head.size(), 'x');
  const QString file = dir_.filePath("large.ini");
  ASSERT_TRUE(WriteBytes(file, largest));
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", "d"), "/big");
  ASSERT_TRUE(WriteProfileString(file, "Option", "Dir", "/bag"));
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", "d"), "/bag");

  const QByteArray tooLarge = largest + 'x';
  ASSERT_TRUE(WriteBytes(file, tooLarge));
  EXPECT_EQ(ReadProfileString(file, "Option", "Dir", "d"), "d");
  EXPECT_FALSE(WriteProfileString(file, "Option", "Dir", "/x"));
  EXPECT_EQ(ReadBytes(file), tooLarge);
}
