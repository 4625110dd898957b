#include "graphics/tBMPLoader.h"

namespace {

const unsigned int kFileHeaderSize = 14;
const unsigned int kTypeBM = 19778;
const std::uint32_t kCompressionNone = 0;
const std::uint32_t kCompressionBitfields = 3;
// Bytes of the three masks that follow a 40-byte header under BI_BITFIELDS.
const unsigned int kTrailingMaskSize = 12;

// One channel of a BI_BITFIELDS pixel: a contiguous run of bits, scaled to a
// byte.
struct tChannelMask {
  std::uint32_t mask = 0;  // the channel's bits within the pixel value
  unsigned int shift = 0;  // position of the lowest bit of mask
  unsigned int bits = 0;   // number of bits in mask

  // False when the bits of the mask are not contiguous.
  bool set(std::uint32_t value) {
    mask = value;
    shift = 0;
    bits = 0;
    if (value == 0) return true;
    while ((value & 1) == 0) {
      value >>= 1;
      ++shift;
    }
    while (value & 1) {
      value >>= 1;
      ++bits;
    }
    return value == 0;
  }

  unsigned char extract(std::uint32_t pixel, unsigned char absent) const {
    if (bits == 0) return absent;
    std::uint32_t v = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<unsigned char>(v >> (bits - 8));
    std::uint32_t largest = (std::uint32_t{1} << bits) - 1;
    return static_cast<unsigned char>((v * 255 + largest / 2) / largest);
  }
};

// What the headers say about the picture and where its parts lie in the file.
struct tBMPLayout {
  std::int64_t width = 0;           // pixels per row
  std::int64_t rows = 0;            // number of rows
  bool topDown = false;             // whether the first stored row is the top one
  unsigned int bitsPerPixel = 0;    // 1, 4, 8, 16, 24 or 32
  bool bitfields = false;           // whether pixels are decoded through masks
  tChannelMask masks[4];            // red, green, blue, alpha when bitfields
  unsigned int paletteEntries = 0;  // palette entries stored in the file
  bool trailingMasks = false;       // whether three masks follow a 40-byte header
  std::uint64_t headersEnd = 0;     // file offset just past the information header
  std::uint64_t paletteStart = 0;   // file offset of the palette (past any trailing masks)
  std::uint64_t pixelStart = 0;     // file offset of the first stored row
  std::uint64_t stride = 0;         // bytes per stored row, padding included
};

bool isSupportedDepth(unsigned int bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Reads the masks of a BI_BITFIELDS image; all must be contiguous and fit the
// pixel's width.
bool readMasks(const unsigned char* source, unsigned int count, tBMPLayout* layout) {
  for (unsigned int i = 0; i < count; ++i) {
    std::uint32_t value = tImageLoader::readUnsigned32(source + 4 * i);
    if (layout->bitsPerPixel == 16 && value > 0xFFFF) return false;
    if (!layout->masks[i].set(value)) return false;
  }
  return true;
}

tPixel decodeBitfields(std::uint32_t value, const tChannelMask* masks) {
  return tPixel(masks[0].extract(value, 0), masks[1].extract(value, 0), masks[2].extract(value, 0),
                masks[3].extract(value, 255));
}

unsigned int paletteIndex(const unsigned char* row, std::int64_t x, unsigned int bits) {
  switch (bits) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
      return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    default:
      return row[x];
  }
}

// Reads the information header (headers holds both headers) into layout;
// false when the picture is of a kind this reader refuses or the offsets
// contradict each other. Trailing masks are read later, with the body.
bool readLayout(const std::vector<unsigned char>& headers, tBMPLayout* layout) {
  const unsigned char* info = &headers[kFileHeaderSize];
  std::uint32_t infoSize = tImageLoader::readUnsigned32(info);
  layout->width = static_cast<std::int32_t>(tImageLoader::readUnsigned32(info + 4));
  std::int64_t height = static_cast<std::int32_t>(tImageLoader::readUnsigned32(info + 8));
  layout->topDown = height < 0;
  layout->rows = layout->topDown ? -height : height;
  unsigned int bits = tImageLoader::readUnsigned16(info + 14);
  layout->bitsPerPixel = bits;
  std::uint32_t compression = tImageLoader::readUnsigned32(info + 16);
  std::uint32_t colorsUsed = tImageLoader::readUnsigned32(info + 32);
  if (layout->width < 0 || !isSupportedDepth(bits)) return false;
  // A header may claim two billion rows of no width: they hold nothing, and
  // only stepping through them would take minutes.
  if (layout->width == 0 || layout->rows == 0) return false;
  layout->bitfields = compression == kCompressionBitfields && (bits == 16 || bits == 32);
  if (compression != kCompressionNone && !layout->bitfields) return false;
  if (static_cast<std::uint64_t>(layout->width * layout->rows) > tImageLoader::kMaxPixels) {
    return false;
  }

  layout->headersEnd = kFileHeaderSize + infoSize;
  layout->paletteStart = layout->headersEnd;
  layout->trailingMasks = layout->bitfields && infoSize == 40;
  if (layout->trailingMasks) {
    layout->paletteStart += kTrailingMaskSize;
  } else if (layout->bitfields && !readMasks(info + 40, 4, layout)) {
    return false;
  }
  if (bits <= 8) {
    std::uint32_t possible = std::uint32_t{1} << bits;
    layout->paletteEntries = colorsUsed == 0 || colorsUsed > possible ? possible : colorsUsed;
  }
  layout->pixelStart = tImageLoader::readUnsigned32(&headers[10]);
  layout->stride = (static_cast<std::uint64_t>(layout->width) * bits + 31) / 32 * 4;
  return layout->pixelStart >= layout->paletteStart + 4 * layout->paletteEntries;
}

tPixel decodeStoredPixel(const unsigned char* row, std::int64_t x, const tBMPLayout& layout,
                         const tImage& palette) {
  unsigned int bits = layout.bitsPerPixel;
  if (bits <= 8) return palette.getPixel(0, static_cast<int>(paletteIndex(row, x, bits)));
  if (bits == 24) return tImageLoader::decodePixel(row + 3 * x, TPIXEL_R8G8B8);
  if (layout.bitfields) {
    std::uint32_t value = bits == 16 ? tImageLoader::readUnsigned16(row + 2 * x)
                                     : tImageLoader::readUnsigned32(row + 4 * x);
    return decodeBitfields(value, layout.masks);
  }
  if (bits == 16) return tImageLoader::decodePixel(row + 2 * x, TPIXEL_X1R5G5B5);
  return tImageLoader::decodePixel(row + 4 * x, TPIXEL_X8R8G8B8);
}

}  // namespace

bool tBMPLoader::readImage(tImage* image) {
  // The file header and the information header's size field, then the rest
  // of the information header.
  std::vector<unsigned char> headers;
  if (!readBlock(headers, kFileHeaderSize + 4)) return false;
  std::uint32_t infoSize = readUnsigned32(&headers[kFileHeaderSize]);
  if (readUnsigned16(&headers[0]) != kTypeBM) return false;
  if (infoSize != 40 && infoSize != 108 && infoSize != 124) return false;
  if (!readBlock(headers, infoSize - 4)) return false;
  tBMPLayout layout;
  if (!readLayout(headers, &layout)) return false;

  // Everything from the end of the headers to the end of the last row.
  std::vector<unsigned char> body;
  bool complete =
      readBlock(body, layout.pixelStart - layout.headersEnd + layout.stride * layout.rows);
  if (!complete) return false;
  if (layout.trailingMasks && !readMasks(body.data(), 3, &layout)) return false;
  if (layout.bitsPerPixel <= 8) {
    readPalette(body.data() + (layout.paletteStart - layout.headersEnd), layout.paletteEntries,
                layout.bitsPerPixel);
  }

  tImage decoded(static_cast<unsigned int>(layout.width), static_cast<unsigned int>(layout.rows));
  const unsigned char* pixelRows = body.data() + (layout.pixelStart - layout.headersEnd);
  for (std::int64_t r = 0; r < layout.rows; ++r) {
    const unsigned char* row = pixelRows + r * layout.stride;
    int target = static_cast<int>(layout.topDown ? layout.rows - 1 - r : r);
    for (std::int64_t x = 0; x < layout.width; ++x) {
      decoded(target, static_cast<int>(x)) = decodeStoredPixel(row, x, layout, palette_);
    }
  }
  image->swap(decoded);
  return true;
}

void tBMPLoader::readPalette(const unsigned char* entries, unsigned int count,
                             unsigned int bitsPerPixel) {
  palette_.reinitialize(1u << bitsPerPixel, 1);
  for (unsigned int i = 0; i < count; ++i) {
    palette_(0, static_cast<int>(i)) = decodePixel(entries + 4 * i, TPIXEL_X8R8G8B8);
  }
}
