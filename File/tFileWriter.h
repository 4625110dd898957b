#ifndef ROOTWEAVER_FILE_TFILEWRITER_H
#define ROOTWEAVER_FILE_TFILEWRITER_H

#include <string>

// The one way the program puts bytes on disk, so that no write goes
// unchecked.
//
// A whole file (a picture, a plot, a rewritten CSV file, the settings, a
// shard's file) is written to a fresh hidden file beside its final name,
// ".NAME.tmp-XXXXXX", created exclusively so that nothing planted there is
// followed, and renamed over the final name only once every byte was written
// and the close succeeded. Readers thus never see half a file; a failed or
// killed write leaves the old file as it was; and a symbolic link at the
// final name is replaced, never written through. A final name held by a
// directory, device, pipe or socket is refused: renaming over it would
// replace what is not a file.
//
// An append (a data block, a graph line, CSV rows) is checked to the close:
// every write, then the close, whose failure on a full disk or a network
// file system is the last word on whether the bytes arrived.
//
// Both report a failure as "cannot write PATH: REASON", the reason being
// the system's text for errno.
class tFileWriter {
 public:
  // Writes bytes as the whole file at path; false, with the message in
  // error, when it cannot.
  static bool writeWhole(const std::string& path, const std::string& bytes, std::string& error);
  // Appends bytes to the file at path, creating it when missing; false, with
  // the message in error, when it cannot.
  static bool append(const std::string& path, const std::string& bytes, std::string& error);

  // Whether the name is one that writeWhole gives its temporary files, for
  // the file named final.
  static bool isTemporaryOf(const std::string& name, const std::string& final);

 private:
  tFileWriter() = default;
  // Writes the bytes to the descriptor opened for path (-1, errno set, when
  // it could not be opened) and closes it; false, with the message in error,
  // when any of it fails.
  static bool writeAndClose(int descriptor, const std::string& bytes, const std::string& path,
                            std::string& error);
  // Writes all the bytes to the descriptor; false with errno set.
  static bool writeAll(int descriptor, const std::string& bytes);
  // "cannot write PATH: REASON" for the errno given.
  static std::string failure(const std::string& path, int error);
};

#endif
