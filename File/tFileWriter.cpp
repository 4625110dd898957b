#include "File/tFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

const char kTemporaryMark[] = ".tmp-";
const std::size_t kSuffixLength = 6;
// Keeps ".NAME.tmp-XXXXXX" within the 255 bytes a file name may have.
const std::size_t kLongestNamePart = 200;

// Letters and digits for a temporary name. The picture's random sequence
// (the C library's rand) must not be disturbed, so a generator of its own.
std::string randomSuffix() {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof letters - 2);
  std::string suffix;
  for (std::size_t i = 0; i < kSuffixLength; ++i) suffix += letters[pick(generator)];
  return suffix;
}

// Opens a new temporary file beside path; its name in temporary, -1 with
// errno set when none can be made.
int createTemporary(const std::string& path, std::string& temporary) {
  const std::size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = path.substr(directory.size()).substr(0, kLongestNamePart);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = directory + "." + name + kTemporaryMark + randomSuffix();
    const int descriptor =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  return -1;
}

}  // namespace

bool tFileWriter::writeWhole(const std::string& path, const std::string& bytes,
                             std::string& error) {
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
    error = "cannot write " + path + ": not a regular file";
    return false;
  }
  std::string temporary;
  const int descriptor = createTemporary(path, temporary);
  if (writeAndClose(descriptor, bytes, path, error)) {
    if (std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    error = failure(path, errno);
  }
  if (descriptor >= 0) unlink(temporary.c_str());
  return false;
}

bool tFileWriter::append(const std::string& path, const std::string& bytes, std::string& error) {
  const int descriptor = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  return writeAndClose(descriptor, bytes, path, error);
}

bool tFileWriter::isTemporaryOf(const std::string& name, const std::string& final) {
  const std::string head = "." + final.substr(0, kLongestNamePart) + kTemporaryMark;
  return name.size() == head.size() + kSuffixLength && name.compare(0, head.size(), head) == 0;
}

bool tFileWriter::writeAndClose(int descriptor, const std::string& bytes,
                                const std::string& path, std::string& error) {
  if (descriptor < 0) {
    error = failure(path, errno);
    return false;
  }
  const bool written = writeAll(descriptor, bytes);
  int code = errno;
  const bool closed = close(descriptor) == 0;
  if (written && closed) return true;
  if (written) code = errno;
  error = failure(path, code);
  return false;
}

bool tFileWriter::writeAll(int descriptor, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t count = write(descriptor, bytes.data() + done, bytes.size() - done);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      if (count == 0) errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(count);
  }
  return true;
}

std::string tFileWriter::failure(const std::string& path, int error) {
  return "cannot write " + path + ": " + std::strerror(error);
}
