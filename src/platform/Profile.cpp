#include "platform/Profile.h"

#include "platform/RegularFile.h"
#include "platform/SafeSave.h"

#include <QFileInfo>

#include <optional>
#include <utility>
#include <vector>

namespace {

struct ProfileLine {
  QByteArray content;  // the line's bytes without its line break
  QByteArray lineEnd;  // its line break, empty for a last line without one
  QString text;        // the content decoded
};

struct ProfileText {
  bool utf16 = false;
  QByteArray mark;  // the byte-order mark the file began with
  std::vector<ProfileLine> lines;
  QByteArray tail;       // an odd last byte of a UTF-16 file, kept as it was
  QByteArray lineBreak;  // the file's first line break, for new lines

  int unitSize() const { return utf16 ? 2 : 1; }

  // UTF-16 code units are taken one by one, so even unpaired surrogates
  // survive a read and write unchanged.
  QString decode(const QByteArray& bytes) const {
    if (!utf16) return QString::fromUtf8(bytes);
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
      text[i] = QChar(char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8));
    return text;
  }

  QByteArray encode(const QString& text) const {
    if (!utf16) return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text) {
      bytes += char(c.unicode() & 0xFF);
      bytes += char(c.unicode() >> 8);
    }
    return bytes;
  }

  QByteArray bytes() const {
    QByteArray all = mark;
    for (const ProfileLine& line : lines) all += line.content + line.lineEnd;
    return all + tail;
  }
};

void SplitLines(ProfileText& profile, const QByteArray& body) {
  const int width = profile.unitSize();
  const qsizetype units = body.size() / width;
  profile.tail = body.mid(units * width);
  const auto unitAt = [&](qsizetype i) -> char16_t {
    if (width == 1) return uchar(body[i]);
    return char16_t(uchar(body[2 * i]) | uchar(body[2 * i + 1]) << 8);
  };
  qsizetype start = 0;
  for (qsizetype i = 0; i < units; ++i) {
    const char16_t unit = unitAt(i);
    if (unit != u'\r' && unit != u'\n') continue;
    const qsizetype contentEnd = i;
    if (unit == u'\r' && i + 1 < units && unitAt(i + 1) == u'\n') ++i;
    ProfileLine line;
    line.content = body.mid(start * width, (contentEnd - start) * width);
    line.lineEnd = body.mid(contentEnd * width, (i + 1 - contentEnd) * width);
    line.text = profile.decode(line.content);
    if (profile.lineBreak.isEmpty()) profile.lineBreak = line.lineEnd;
    profile.lines.push_back(line);
    start = i + 1;
  }
  if (start < units) {
    ProfileLine line;
    line.content = body.mid(start * width, (units - start) * width);
    line.text = profile.decode(line.content);
    profile.lines.push_back(line);
  }
  if (profile.lineBreak.isEmpty()) profile.lineBreak = profile.encode(QStringLiteral("\r\n"));
}

// Reads the file; a missing file (or a link to one) is an empty UTF-8
// profile. False when the file exists but cannot be read, is no regular file
// or is larger than MaxProfileFileBytes.
bool LoadProfile(const QString& path, ProfileText& profile) {
  QByteArray bytes;
  if (QFileInfo::exists(path)) {
    std::optional<QByteArray> content = ReadRegularFile(path, MaxProfileFileBytes);
    if (!content) return false;
    bytes = std::move(*content);
  }
  if (bytes.startsWith("\xFF\xFE")) {
    profile.utf16 = true;
    profile.mark = bytes.left(2);
  } else if (bytes.startsWith("\xEF\xBB\xBF")) {
    profile.mark = bytes.left(3);
  }
  SplitLines(profile, bytes.mid(profile.mark.size()));
  return true;
}

QString TrimBlanks(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && (text[first] == u' ' || text[first] == u'\t')) ++first;
  while (last > first && (text[last - 1] == u' ' || text[last - 1] == u'\t')) --last;
  return text.mid(first, last - first);
}

std::optional<QString> SectionName(const QString& text) {
  const QString line = TrimBlanks(text);
  if (!line.startsWith(u'[')) return std::nullopt;
  const qsizetype close = line.indexOf(u']');
  if (close < 0) return std::nullopt;
  return TrimBlanks(line.mid(1, close - 1));
}

struct KeyLine {
  QString key;
  QString value;
};

std::optional<KeyLine> ParseKeyLine(const QString& text) {
  const QString line = TrimBlanks(text);
  if (line.isEmpty() || line[0] == u';' || line[0] == u'#' || line[0] == u'[') return std::nullopt;
  const qsizetype equals = line.indexOf(u'=');
  if (equals < 0) return std::nullopt;
  KeyLine keyLine{TrimBlanks(line.left(equals)), TrimBlanks(line.mid(equals + 1))};
  if (keyLine.key.isEmpty()) return std::nullopt;
  return keyLine;
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Where a key lives: the index of its line, or -1, and the index of the first
// header of its section, or -1.
struct KeyPlace {
  qsizetype keyLine = -1;
  qsizetype sectionLine = -1;
  KeyLine found;
};

KeyPlace FindKey(const ProfileText& profile, const QString& section, const QString& key) {
  KeyPlace place;
  bool inSection = false;
  for (qsizetype i = 0; i < qsizetype(profile.lines.size()); ++i) {
    const QString& text = profile.lines[i].text;
    if (const auto name = SectionName(text)) {
      inSection = SameName(*name, section);
      if (inSection && place.sectionLine < 0) place.sectionLine = i;
      continue;
    }
    if (!inSection) continue;
    const auto keyLine = ParseKeyLine(text);
    if (keyLine && SameName(keyLine->key, key)) {
      place.keyLine = i;
      place.found = *keyLine;
      return place;
    }
  }
  return place;
}

std::optional<QString> FindValue(const QString& file, const QString& section, const QString& key) {
  ProfileText profile;
  if (!LoadProfile(file, profile)) return std::nullopt;
  const KeyPlace place = FindKey(profile, section, key);
  if (place.keyLine < 0) return std::nullopt;
  return place.found.value;
}

bool HasLineBreak(const QString& text) { return text.contains(u'\r') || text.contains(u'\n'); }

}  // namespace

QString ReadProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& defaultValue) {
  return FindValue(file, section, key).value_or(defaultValue);
}

int ReadProfileInt(const QString& file, const QString& section, const QString& key,
                   int defaultValue) {
  const std::optional<QString> value = FindValue(file, section, key);
  if (!value) return defaultValue;
  qsizetype i = 0;
  if (i < value->size() && (value->at(i) == u'+' || value->at(i) == u'-')) ++i;
  if (i == value->size()) return defaultValue;
  for (; i < value->size(); ++i)
    if (value->at(i) < u'0' || value->at(i) > u'9') return defaultValue;
  bool ok = false;
  const int number = value->toInt(&ok, 10);
  return ok ? number : defaultValue;
}

bool WriteProfileString(const QString& file, const QString& section, const QString& key,
                        const QString& value) {
  if (HasLineBreak(value) || HasLineBreak(key) || HasLineBreak(section)) return false;
  if (section.contains(u']') || TrimBlanks(section) != section || section.isEmpty()) return false;
  if (!ParseKeyLine(key + u'=') || TrimBlanks(key) != key || key.contains(u'=')) return false;

  ProfileText profile;
  if (!LoadProfile(file, profile)) return false;
  const KeyPlace place = FindKey(profile, section, key);

  if (place.keyLine >= 0) {
    // The key keeps its own spelling and its line its own line break.
    ProfileLine& line = profile.lines[place.keyLine];
    line.text = place.found.key + u'=' + value;
    line.content = profile.encode(line.text);
    return SaveFileSafely(file, profile.bytes());
  }

  auto& lines = profile.lines;
  const auto newLine = [&](const QString& text) {
    return ProfileLine{profile.encode(text), profile.lineBreak, text};
  };
  qsizetype insertAt;
  std::vector<ProfileLine> added;
  if (place.sectionLine >= 0) {
    // After the section's last non-blank line, before the blank lines that
    // part it from the next section.
    qsizetype end = place.sectionLine + 1;
    while (end < qsizetype(lines.size()) && !SectionName(lines[end].text)) ++end;
    insertAt = end;
    while (insertAt > place.sectionLine + 1 && TrimBlanks(lines[insertAt - 1].text).isEmpty())
      --insertAt;
  } else {
    insertAt = qsizetype(lines.size());
    added.push_back(newLine(u'[' + section + u']'));
  }
  added.push_back(newLine(key + u'=' + value));
  if (insertAt > 0 && lines[insertAt - 1].lineEnd.isEmpty())
    lines[insertAt - 1].lineEnd = profile.lineBreak;
  lines.insert(lines.begin() + insertAt, added.begin(), added.end());
  return SaveFileSafely(file, profile.bytes());
}
