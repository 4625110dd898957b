#include "File/tBinaryFile.h"

int tBinaryFile::readBytes(void* buffer, int count) {
  if (!isOpen() || count < 0) return 0;
  if (count == 0) return 1;
  return std::fread(buffer, static_cast<std::size_t>(count), 1, getStream()) == 1 ? 1 : 0;
}
