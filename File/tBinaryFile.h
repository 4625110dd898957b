#ifndef ROOTWEAVER_FILE_TBINARYFILE_H
#define ROOTWEAVER_FILE_TBINARYFILE_H

#include "File/tFile.h"

// A file read as raw bytes.
class tBinaryFile : public tFile {
 public:
  // 1 when all count bytes were read as one block, 0 otherwise.
  int readBytes(void* buffer, int count);
};

#endif
