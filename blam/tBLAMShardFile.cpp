#include "blam/tBLAMShardFile.h"

#include <xxhash.h>

#include <algorithm>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "File/tFileUtils.h"
#include "File/tFileWriter.h"
#include "expr/tInstructionSet.h"
#include "fractal/tRandom.h"

namespace {

const char kFolder[] = ".rootweaver-shards/";
const char kFirstLine[] = "rootweaver-shards 2";
// Largest shard file read: the script is at most 64 MiB, and the records of
// a sweep are a small part of what its pictures hold.
const std::uint64_t kLargestFile = std::uint64_t(1) << 30;

std::string escape(const std::string& field) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : field) {
    if (c < 33 || c == '\\') {
      out += '\\';
      out += digits[c >> 4];
      out += digits[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool unescape(const std::string& field, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return false;
    const int high = hexDigit(field[i + 1]);
    const int low = hexDigit(field[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

// The line's fields, unescaped; false when one is malformed.
bool splitLine(const std::string& line, std::vector<std::string>& fields) {
  fields.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t space = line.find(' ', start);
    fields.emplace_back();
    if (!unescape(line.substr(start, space - start), fields.back())) return false;
    if (space == std::string::npos) return true;
    start = space + 1;
  }
}

std::string line(const std::vector<std::string>& fields) {
  std::string text;
  for (std::size_t i = 0; i < fields.size(); ++i) text += (i > 0 ? " " : "") + escape(fields[i]);
  return text + "\n";
}


std::string hexOf(std::uint64_t bits) {
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, bits);
  return text;
}

std::string bitsOf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return hexOf(bits);
}

bool parseHex(const std::string& text, std::uint64_t& bits) {
  if (text.size() != 16) return false;
  bits = 0;
  for (char c : text) {
    const int digit = hexDigit(c);
    if (digit < 0) return false;
    bits = bits * 16 + static_cast<unsigned>(digit);
  }
  return true;
}

bool parseBits(const std::string& text, double& value) {
  std::uint64_t bits;
  if (!parseHex(text, bits)) return false;
  std::memcpy(&value, &bits, sizeof value);
  return true;
}

// A whole number in plain decimal: digits alone, no leading zero.
bool parseNumber(const std::string& text, unsigned long& number) {
  if (text.empty() || text.size() > 18 || (text[0] == '0' && text.size() > 1)) return false;
  number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<unsigned long>(c - '0');
  }
  return true;
}

// The seed of the command line, "" for none.
bool parseSeed(const std::string& text, std::optional<unsigned int>& seed) {
  seed.reset();
  if (text.empty()) return true;
  unsigned long number;
  if (!parseNumber(text, number) || number > tRandom::MAX_SEED) return false;
  seed = static_cast<unsigned int>(number);
  return true;
}

// Shard K of N from a file name shard-K-of-N.
bool parseName(const std::string& name, unsigned long& shard, unsigned long& shards) {
  const std::string head = "shard-";
  const std::size_t of = name.find("-of-");
  if (name.compare(0, head.size(), head) != 0 || of == std::string::npos) return false;
  return parseNumber(name.substr(head.size(), of - head.size()), shard) &&
         parseNumber(name.substr(of + 4), shards);
}

// Whether a recorded path names a file below the output directory: relative,
// and no part of it "..".
bool staysBelow(const std::string& path) {
  if (path.empty() || path[0] == '/') return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = path.find('/', start);
    if (path.compare(start, slash - start, "..") == 0 && (slash - start) == 2) return false;
    if (slash == std::string::npos) return true;
    start = slash + 1;
  }
}

}  // namespace

std::string tBLAMShardFile::folderIn(const std::string& directory) { return directory + kFolder; }

std::string tBLAMShardFile::pathOf(const std::string& directory, unsigned int shard,
                                   unsigned int shards) {
  return folderIn(directory) + "shard-" + std::to_string(shard) + "-of-" + std::to_string(shards);
}

bool tBLAMShardFile::hashFile(const std::string& path, std::uint64_t& size, std::uint64_t& hash) {
  std::string bytes, error;
  if (!tFileUtils::readRegularFile(path, bytes, UINT64_MAX, error)) return false;
  size = bytes.size();
  hash = XXH64(bytes.data(), bytes.size(), 0);
  return true;
}

bool tBLAMShardFile::write(const std::string& directory, std::string& error) {
  engine = tInstructionSet::name(tInstructionSet::current());
  mathLibrary = tInstructionSet::mathLibrary();
  libraryVersion = tInstructionSet::libraryVersion();
  std::string out = std::string(kFirstLine) + "\n";
  out += line({"shard", std::to_string(shard), std::to_string(shards)});
  out += line({"runs", std::to_string(runs)});
  out += line({"script", script});
  out += line({"source", source});
  out += line({"seed", seed ? std::to_string(*seed) : ""});
  out += line({"machine", engine, mathLibrary, libraryVersion});
  for (const tBLAMRunRecord& record : records) writeRecord(out, record);
  out += line({"done", hexOf(XXH64(out.data(), out.size(), 0))});
  return tFileWriter::writeWhole(pathOf(directory, shard, shards), out, error);
}

void tBLAMShardFile::writeRecord(std::string& out, const tBLAMRunRecord& record) const {
  out += line({"run", std::to_string(record.number), record.complete ? "1" : "0", record.settings});
  for (const tBLAMRunRecord::tPicture& picture : record.pictures)
    out += line({"picture", picture.path, std::to_string(picture.size), hexOf(picture.hash)});
  for (const auto& result : record.results)
    out += line({"result", result.first, bitsOf(result.second)});
  for (const tBLAMRunRecord::tAppend& append : record.appends) {
    if (!append.csv) {
      out += line({"text", append.path, append.text});
      continue;
    }
    std::vector<std::string> fields = {"csv", append.path};
    fields.insert(fields.end(), append.columns.begin(), append.columns.end());
    out += line(fields);
    for (const std::vector<std::string>& row : append.rows) {
      fields = {"row"};
      fields.insert(fields.end(), row.begin(), row.end());
      out += line(fields);
    }
  }
}

bool tBLAMShardFile::read(const std::string& path, std::string& error) {
  std::string bytes;
  if (!tFileUtils::readRegularFile(path, bytes, kLargestFile, error)) return false;
  if (bytes.compare(0, 20, "rootweaver-shards 1\n") == 0) {
    error = path + " was written by an earlier rootweaver, without checksums; run the shards again";
    return false;
  }
  // The last line: "done" and the hash of everything before it.
  const std::size_t last = bytes.size() < 2 ? std::string::npos : bytes.rfind('\n', bytes.size() - 2);
  std::vector<std::string> done;
  std::uint64_t hash;
  error = path + " is not a whole shard file";
  if (last == std::string::npos || bytes.back() != '\n' ||
      !splitLine(bytes.substr(last + 1, bytes.size() - last - 2), done) || done.size() != 2 ||
      done[0] != "done" || !parseHex(done[1], hash))
    return false;
  if (XXH64(bytes.data(), last + 1, 0) != hash) {
    error = path + " has changed since its shard wrote it (its checksum does not match)";
    return false;
  }
  std::vector<std::vector<std::string>> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos && end <= last;
       start = end + 1) {
    lines.emplace_back();
    if (!splitLine(bytes.substr(start, end - start), lines.back())) return false;
  }
  unsigned long number, count;
  if (lines.size() < 7 || lines[0] != std::vector<std::string>{"rootweaver-shards", "2"} ||
      lines[1].size() != 3 || lines[1][0] != "shard" || !parseNumber(lines[1][1], number) ||
      !parseNumber(lines[1][2], count) || lines[2].size() != 2 || lines[2][0] != "runs" ||
      !parseNumber(lines[2][1], runs) || lines[3].size() != 2 || lines[3][0] != "script" ||
      lines[4].size() != 2 || lines[4][0] != "source" || lines[5].size() != 2 ||
      lines[5][0] != "seed" || !parseSeed(lines[5][1], seed) || lines[6].size() != 4 ||
      lines[6][0] != "machine")
    return false;
  shard = static_cast<unsigned int>(number);
  shards = static_cast<unsigned int>(count);
  script = lines[3][1];
  source = lines[4][1];
  engine = lines[6][1];
  mathLibrary = lines[6][2];
  libraryVersion = lines[6][3];
  records.clear();
  std::size_t index = 7;
  while (index < lines.size()) {
    records.emplace_back();
    if (!readRecord(lines, index, records.back())) return false;
  }
  for (const tBLAMRunRecord& record : records) {
    std::vector<std::string> paths;
    for (const tBLAMRunRecord::tPicture& picture : record.pictures) paths.push_back(picture.path);
    for (const tBLAMRunRecord::tAppend& append : record.appends) paths.push_back(append.path);
    for (const std::string& recorded : paths) {
      if (staysBelow(recorded)) continue;
      error = path + " names " + recorded + " for run " + std::to_string(record.number) +
              ", which is not below the output directory";
      return false;
    }
  }
  error.clear();
  return true;
}

bool tBLAMShardFile::readRecord(const std::vector<std::vector<std::string>>& lines,
                                std::size_t& index, tBLAMRunRecord& record) {
  const std::vector<std::string>& head = lines[index++];
  if (head.size() != 4 || head[0] != "run" || !parseNumber(head[1], record.number) ||
      (head[2] != "0" && head[2] != "1"))
    return false;
  record.complete = head[2] == "1";
  record.settings = head[3];
  for (; index < lines.size() && lines[index][0] != "run"; ++index) {
    const std::vector<std::string>& fields = lines[index];
    const std::string& kind = fields[0];
    double value;
    tBLAMRunRecord::tPicture picture;
    if (kind == "picture" && fields.size() == 4 && parseNumber(fields[2], picture.size) &&
        parseHex(fields[3], picture.hash)) {
      picture.path = fields[1];
      record.pictures.push_back(picture);
    } else if (kind == "result" && fields.size() == 3 && parseBits(fields[2], value)) {
      record.results.emplace_back(fields[1], value);
    } else if (kind == "text" && fields.size() == 3) {
      tBLAMRunRecord::tAppend append;
      append.path = fields[1];
      append.text = fields[2];
      record.appends.push_back(append);
    } else if (kind == "csv" && fields.size() >= 2) {
      tBLAMRunRecord::tAppend append;
      append.path = fields[1];
      append.csv = true;
      append.columns.assign(fields.begin() + 2, fields.end());
      record.appends.push_back(append);
    } else if (kind == "row" && !record.appends.empty() && record.appends.back().csv) {
      record.appends.back().rows.emplace_back(fields.begin() + 1, fields.end());
    } else {
      return false;
    }
  }
  return true;
}

bool tBLAMShardFile::listSweep(const std::string& folder, std::vector<std::string>& paths,
                               std::string& error) {
  std::vector<std::string> names;
  tFileUtils::getFilesInDirectory(folder, names);
  std::sort(names.begin(), names.end());
  std::map<unsigned long, std::string> byShard;
  unsigned long count = 0;
  for (const std::string& name : names) {
    // Hidden names are the files that shards are still writing, or that
    // killed ones left.
    if (name.empty() || name[0] == '.') continue;
    unsigned long shard = 0, shards = 0;
    if (!parseName(name, shard, shards)) {
      error = folder + " holds " + name + ", which is not a shard file (shard-K-of-N); remove it";
      return false;
    }
    if (shard >= shards) {
      error = folder + name + " names shard " + std::to_string(shard) + " of " +
              std::to_string(shards) + ", but the shards are counted from 0 to " +
              std::to_string(shards - 1) + "; remove it";
      return false;
    }
    if (count != 0 && shards != count) {
      error = folder + " holds the files of sweeps in " + std::to_string(std::min(count, shards)) +
              " and in " + std::to_string(std::max(count, shards)) + " shards; remove the old ones";
      return false;
    }
    count = shards;
    byShard[shard] = folder + name;
  }
  if (count == 0) {
    error = "no shard files in " + folder + " (run the shards first, with this output directory)";
    return false;
  }
  for (unsigned long shard = 0; shard < count; ++shard) {
    if (byShard.count(shard) == 0) {
      error = "shard " + std::to_string(shard) + " of " + std::to_string(count) +
              " has not finished (no " + folder + "shard-" + std::to_string(shard) + "-of-" +
              std::to_string(count) + ")";
      return false;
    }
    paths.push_back(byShard[shard]);
  }
  return true;
}

bool tBLAMShardFile::readSweep(const std::string& directory, std::vector<tBLAMShardFile>& shards,
                               std::string& error) {
  std::vector<std::string> paths;
  if (!listSweep(folderIn(directory), paths, error)) return false;
  shards.clear();
  for (const std::string& path : paths) {
    shards.emplace_back();
    if (!shards.back().read(path, error)) return false;
  }
  if (!checkSweep(shards, error)) return false;
  for (const tBLAMShardFile& file : shards)
    if (!file.checkPictures(directory, error)) return false;
  return true;
}

bool tBLAMShardFile::checkSweep(const std::vector<tBLAMShardFile>& shards, std::string& error) {
  const tBLAMShardFile& first = shards.front();
  unsigned long recorded = 0;
  for (std::size_t k = 0; k < shards.size(); ++k) {
    const tBLAMShardFile& file = shards[k];
    const std::string name = "shard " + std::to_string(k) + " of " + std::to_string(shards.size());
    if (file.shard != k || file.shards != shards.size()) {
      error = name + " names itself shard " + std::to_string(file.shard) + " of " +
              std::to_string(file.shards);
      return false;
    }
    if (file.script != first.script || file.source != first.source || file.runs != first.runs) {
      error = name + " ran another script or version of it than shard 0 (" + file.script + ")";
      return false;
    }
    if (file.seed != first.seed) {
      error = name + " ran with another --seed than shard 0";
      return false;
    }
    unsigned long last = 0;
    for (const tBLAMRunRecord& record : file.records) {
      if (record.number <= last || record.number > file.runs ||
          (record.number - 1) % file.shards != file.shard) {
        error = name + " recorded run " + std::to_string(record.number) + ", not one of its own";
        return false;
      }
      last = record.number;
    }
    recorded += file.records.size();
  }
  if (recorded != first.runs) {
    error = "the shards recorded " + std::to_string(recorded) + " of the script's " +
            std::to_string(first.runs) + " runs";
    return false;
  }
  return true;
}

bool tBLAMShardFile::checkPictures(const std::string& directory, std::string& error) const {
  for (const tBLAMRunRecord& record : records) {
    for (const tBLAMRunRecord::tPicture& picture : record.pictures) {
      std::uint64_t size, hash;
      const std::string path = directory + picture.path;
      if (!hashFile(path, size, hash)) {
        error = name() + " wrote " + path + ", which is no longer there as a file";
        return false;
      }
      if (size != picture.size || hash != picture.hash) {
        error = name() + " wrote " + path + ", which has changed since (its size or checksum " +
                "differs); run that shard again";
        return false;
      }
    }
  }
  return true;
}

std::string tBLAMShardFile::machineWarning(const std::vector<tBLAMShardFile>& shards) {
  const tBLAMShardFile& first = shards.front();
  for (const tBLAMShardFile& file : shards) {
    if (file.mathLibrary == first.mathLibrary && file.libraryVersion == first.libraryVersion)
      continue;
    return first.name() + " ran on the C library " + first.libraryVersion + " with its " +
           first.mathLibrary + " functions, " + file.name() + " on " + file.libraryVersion +
           " with " + file.mathLibrary + ": the last bits of values computed with sin, exp, pow "
           "and the like may differ from one whole run's";
  }
  return "";
}

std::map<unsigned long, tBLAMRunRecord> tBLAMShardFile::recordsOf(
    const std::vector<tBLAMShardFile>& shards, std::set<std::string>& pictures) {
  std::map<unsigned long, tBLAMRunRecord> records;
  for (const tBLAMShardFile& file : shards) {
    for (const tBLAMRunRecord& record : file.records) {
      records[record.number] = record;
      for (const tBLAMRunRecord::tPicture& picture : record.pictures) pictures.insert(picture.path);
    }
  }
  return records;
}

void tBLAMShardFile::removeSweep(const std::string& directory,
                                 const std::vector<tBLAMShardFile>& shards) {
  for (const tBLAMShardFile& file : shards)
    std::remove(pathOf(directory, file.shard, file.shards).c_str());
  std::remove(folderIn(directory).c_str());
}

std::string tBLAMShardFile::name() const {
  return "shard " + std::to_string(shard) + " of " + std::to_string(shards);
}
