#include "platform/SafeSave.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Follows symbolic links to the path of the file that is finally written.
// Gives an empty path for a loop of links.
QString ResolveLinks(const QString& path) {
  QString resolved = path;
  for (int hops = 0; hops < 40; ++hops) {
    const QFileInfo info(resolved);
    if (!info.isSymLink()) return resolved;
    resolved = info.symLinkTarget();
    if (resolved.isEmpty()) return {};
  }
  return {};
}

bool IsWriteProtected(const QByteArray& nativePath, const struct stat& status) {
  return access(nativePath.constData(), W_OK) != 0 || (status.st_mode & 0222) == 0;
}

bool WriteAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, static_cast<size_t>(left));
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) return false;
    data += written;
    left -= written;
  }
  return true;
}

bool CloseChecked(int fd) { return close(fd) == 0 || errno == EINTR; }

// A device, pipe or socket: nothing to keep, so the bytes go straight in.
bool WriteDeviceFile(const QByteArray& nativePath, const QByteArray& bytes) {
  const int fd = open(nativePath.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes);
  const bool closed = CloseChecked(fd);
  return written && closed;
}

// Creates a new, empty file with a short unique name in the folder. The name
// does not grow with the target's name, so a target whose name is just within
// the system's limit can still be saved.
int CreateSiblingFile(const QString& folder, int mode, QByteArray& createdPath) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    const QString name = QStringLiteral("/.kesto-%1.tmp")
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    const QByteArray candidate = QFile::encodeName(folder + name);
    const int fd = open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) {
      createdPath = candidate;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

void SyncFolder(const QByteArray& nativeFolder) {
  const int fd = open(nativeFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool SaveFileSafely(const QString& path, const QByteArray& bytes) {
  if (path.isEmpty()) return false;
  const QString target = ResolveLinks(path);
  if (target.isEmpty()) return false;
  const QByteArray nativeTarget = QFile::encodeName(target);

  struct stat old {};
  const bool exists = stat(nativeTarget.constData(), &old) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists) {
    if (S_ISDIR(old.st_mode)) return false;
    if (!S_ISREG(old.st_mode)) return WriteDeviceFile(nativeTarget, bytes);
    if (IsWriteProtected(nativeTarget, old)) return false;
  }

  const QString folder = QFileInfo(target).absolutePath();
  const QByteArray nativeFolder = QFile::encodeName(folder);
  struct stat folderStatus {};
  if (stat(nativeFolder.constData(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode) ||
      IsWriteProtected(nativeFolder, folderStatus))
    return false;

  QByteArray newPath;
  const int fd = CreateSiblingFile(folder, exists ? 0600 : 0666, newPath);
  if (fd < 0) return false;

  bool ok = true;
  if (exists) {
    // Owner first, since changing it clears set-id bits. Where the system does
    // not let us give the file to its old owner (another user's file), the new
    // file stays ours and takes the plain permission bits only.
    const bool ownerKept = fchown(fd, old.st_uid, old.st_gid) == 0;
    ok = fchmod(fd, old.st_mode & (ownerKept ? 07777 : 0777)) == 0;
  }
  ok = ok && WriteAll(fd, bytes);
  ok = ok && fsync(fd) == 0;
  ok = CloseChecked(fd) && ok;
  ok = ok && rename(newPath.constData(), nativeTarget.constData()) == 0;
  if (!ok) {
    unlink(newPath.constData());
    return false;
  }
  SyncFolder(nativeFolder);
  return true;
}
