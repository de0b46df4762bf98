#include "platform/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor on every way out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes) {
  if (path.isEmpty() || maxBytes < 0) return std::nullopt;
  // O_NONBLOCK: opening a pipe without a writer returns at once instead of
  // waiting; the type test below then turns it away.
  const FileDescriptor fd(
      open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  struct stat status {};
  if (fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  if (status.st_size > maxBytes) return std::nullopt;

  // The reported size is only a first guess: read up to one byte beyond the
  // limit, which tells a file that grew past it.
  const qint64 limit = maxBytes + 1;
  QByteArray bytes;
  bytes.resize(qsizetype(std::min<qint64>(limit, qint64(status.st_size) + 1)));
  qint64 filled = 0;
  while (filled < limit) {
    if (filled == bytes.size()) bytes.resize(qsizetype(std::min<qint64>(limit, 2 * filled + 4096)));
    const ssize_t got = read(fd.get(), bytes.data() + filled, size_t(bytes.size() - filled));
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    filled += got;
  }
  if (filled > maxBytes) return std::nullopt;
  bytes.truncate(qsizetype(filled));
  return bytes;
}
