// Image decoding against the reference libraries on the same bytes, and the masked copy.
//  - GIF: the system's own reader against giflib (DGifSlurp into its own buffers);
//  - PNG: the reader through the glue against bare libpng reading rows into one buffer;
//  - BMP and Targa: the system's own readers against stb_image (stbi_load_from_memory, its own
//    channel count) on files the writers made;
//  - JPEG: the reader through the glue against bare libjpeg-turbo decoding RGB rows into one buffer;
//  - PixmapCopy through a mask map (mode 1), 32-bit onto 32-bit.
// Inputs: the pictures of pages/ and two synthetic 640 x 480 pictures made by the writers.
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/colour_tables.h"
#include "images/image.h"

namespace {

using Bytes = std::vector<uint8_t>;

// --- inputs ---

Pixmap* Synthetic(uint32_t format) {
  const int32_t w = 640, h = 480;
  Pixmap* map = PixmapNew(Rect{0, 0, w, h}, format, format == kPixelIndexed ? &SystemColourTable() : nullptr);
  std::vector<uint8_t> indices(w);
  std::vector<Colour> colours(w);
  uint32_t seed = 1;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      seed = seed * 1103515245 + 12345;
      const bool noisy = ((x / 40 + y / 40) & 3) == 0;  // mostly smooth, some noise, as pictures are
      indices[x] = uint8_t(noisy ? seed >> 24 : (x / 8 + y / 16) % 216);
      colours[x] = Colour{uint8_t(noisy ? seed >> 24 : 255), uint8_t(x), uint8_t(y), uint8_t(noisy ? seed >> 16 : x + y)};
    }
    if (format == kPixelIndexed) {
      PixmapSetIndexRow(map, nullptr, y, indices.data());
    } else {
      PixmapSetColourRow(map, nullptr, y, colours.data());
    }
  }
  return map;
}

Bytes Encode(Pixmap* map, FourCC format, uint8_t compression = 0) {
  ImageInfo info{};
  ImageInfoReset(&info);
  info.format = format;
  info.compression = compression;
  MemoryHandle encoded = nullptr;
  if (ImageWrite(map, nullptr, nullptr, &info, &encoded) != kOk) return {};
  Bytes bytes(HandleData(encoded), HandleData(encoded) + HandleGetSize(encoded));
  HandleDispose(encoded);
  return bytes;
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// --- the system's readers ---

void ReadWithImageRead(benchmark::State& state, const Bytes& bytes) {
  MemoryHandle data = HandleNewFromData(bytes.data(), bytes.size());
  int64_t pixels = 0;
  for (auto _ : state) {
    Pixmap *pixmap = nullptr, *mask = nullptr;
    MaskDescriptor descriptor;
    if (ImageRead(data, &pixmap, &mask, &descriptor, nullptr) != kOk) {
      state.SkipWithError("ImageRead failed");
      break;
    }
    pixels = int64_t(pixmap->bounds.right - pixmap->bounds.left) * (pixmap->bounds.bottom - pixmap->bounds.top);
    PixmapDispose(pixmap);
    PixmapDispose(mask);
  }
  state.SetItemsProcessed(state.iterations() * pixels);
  HandleDispose(data);
}

// --- giflib ---

struct GifSource {
  const Bytes* bytes;
  size_t at;
};

int GifInput(GifFileType* gif, GifByteType* buffer, int count) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  const size_t n = std::min(size_t(count), source->bytes->size() - source->at);
  std::memcpy(buffer, source->bytes->data() + source->at, n);
  source->at += n;
  return int(n);
}

void ReadWithGiflib(benchmark::State& state, const Bytes& bytes) {
  int64_t pixels = 0;
  for (auto _ : state) {
    GifSource source{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, GifInput, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
      state.SkipWithError("giflib failed");
      if (gif) DGifCloseFile(gif, &error);
      break;
    }
    pixels = int64_t(gif->SavedImages[0].ImageDesc.Width) * gif->SavedImages[0].ImageDesc.Height;
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &error);
  }
  state.SetItemsProcessed(state.iterations() * pixels);
}

// --- bare libpng: 8-bit samples, palette and grey kept as indices, RGB as four bytes ---

struct PngSource {
  const Bytes* bytes;
  size_t at;
};

void PngInput(png_structp png, png_bytep data, size_t count) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (count > source->bytes->size() - source->at) png_error(png, "short");
  std::memcpy(data, source->bytes->data() + source->at, count);
  source->at += count;
}

bool DecodeBare(const Bytes& bytes, std::vector<uint8_t>& pixels, std::vector<png_bytep>& rows, int64_t* count) {
  PngSource source{&bytes, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, PngInput);
  png_read_info(png, info);
  const int type = png_get_color_type(png, info);
  png_set_strip_16(png);
  png_set_packing(png);
  if (type == PNG_COLOR_TYPE_RGB) png_set_filler(png, 255, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  pixels.resize(rowBytes * height);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + y * rowBytes;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  *count = int64_t(width) * height;
  return true;
}

void ReadWithLibpng(benchmark::State& state, const Bytes& bytes) {
  std::vector<uint8_t> pixels;
  std::vector<png_bytep> rows;
  int64_t count = 0;
  for (auto _ : state) {
    if (!DecodeBare(bytes, pixels, rows, &count)) {
      state.SkipWithError("libpng failed");
      break;
    }
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// --- stb_image ---

void ReadWithStb(benchmark::State& state, const Bytes& bytes) {
  int64_t pixels = 0;
  for (auto _ : state) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* decoded = stbi_load_from_memory(bytes.data(), int(bytes.size()), &width, &height, &channels, 0);
    if (!decoded) {
      state.SkipWithError("stb_image failed");
      break;
    }
    benchmark::DoNotOptimize(decoded);
    stbi_image_free(decoded);
    pixels = int64_t(width) * height;
  }
  state.SetItemsProcessed(state.iterations() * pixels);
}

// --- bare libjpeg-turbo: RGB rows into one buffer ---

void ReadWithLibjpeg(benchmark::State& state, const Bytes& bytes) {
  std::vector<uint8_t> pixels;
  int64_t count = 0;
  for (auto _ : state) {
    jpeg_decompress_struct jpeg{};
    jpeg_error_mgr errors{};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&jpeg);
    jpeg_mem_src(&jpeg, bytes.data(), bytes.size());
    jpeg_read_header(&jpeg, TRUE);
    jpeg.out_color_space = JCS_RGB;
    jpeg_start_decompress(&jpeg);
    const size_t rowBytes = size_t(jpeg.output_width) * 3;
    pixels.resize(rowBytes * jpeg.output_height);
    while (jpeg.output_scanline < jpeg.output_height) {
      JSAMPROW row = pixels.data() + jpeg.output_scanline * rowBytes;
      jpeg_read_scanlines(&jpeg, &row, 1);
    }
    jpeg_finish_decompress(&jpeg);
    count = int64_t(jpeg.output_width) * jpeg.output_height;
    jpeg_destroy_decompress(&jpeg);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// --- the masked copy ---

void MaskedCopy(benchmark::State& state) {
  const int32_t w = 640, h = 480;
  Pixmap* source = Synthetic(kPixel32);
  Pixmap* destination = PixmapNew(Rect{0, 0, w, h}, kPixel32, nullptr);
  Pixmap* mask = PixmapNew(Rect{0, 0, w, h}, kPixelIndexed, &GreyColourTable());
  std::vector<uint8_t> coverage(w);
  for (int32_t y = 0; y < h; ++y) {
    // A third transparent, a third opaque, a third edges: as a button picture's mask.
    for (int32_t x = 0; x < w; ++x) coverage[x] = uint8_t(x % 3 == 0 ? 0 : x % 3 == 1 ? 255 : (x * 7 + y) & 255);
    PixmapSetIndexRow(mask, nullptr, y, coverage.data());
  }
  for (auto _ : state) {
    if (PixmapCopy(destination, nullptr, source, mask, nullptr, nullptr) != kOk) {
      state.SkipWithError("copy failed");
      break;
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * w * h);
  PixmapDispose(source);
  PixmapDispose(destination);
  PixmapDispose(mask);
}

void Register() {
  std::vector<std::pair<std::string, Bytes>> gifs, pngs;
  for (const auto& entry : std::filesystem::directory_iterator(SKYWARD_SOURCE_DIR "/pages")) {
    const std::string name = entry.path().filename().string(), extension = entry.path().extension().string();
    if (extension == ".gif") gifs.emplace_back(name, ReadFile(entry.path()));
    if (extension == ".png") pngs.emplace_back(name, ReadFile(entry.path()));
  }
  Pixmap* indexed = Synthetic(kPixelIndexed);
  Pixmap* direct = Synthetic(kPixel32);
  gifs.emplace_back("synthetic640x480.gif", Encode(indexed, kImageGif));
  pngs.emplace_back("synthetic640x480_palette.png", Encode(indexed, kImagePng));
  pngs.emplace_back("synthetic640x480_rgb.png", Encode(direct, kImagePng));
  const std::pair<std::string, Bytes> stbFiles[] = {
      {"Bmp/synthetic640x480_8bit.bmp", Encode(indexed, kImageBmp)},
      {"Bmp/synthetic640x480_24bit.bmp", Encode(direct, kImageBmp)},
      {"Targa/synthetic640x480_8bit.tga", Encode(indexed, kImageTarga)},
      {"Targa/synthetic640x480_24bit.tga", Encode(direct, kImageTarga)},
  };
  // Quality 100 (level 0) and 75 (level 64).
  const std::pair<std::string, Bytes> jpegs[] = {
      {"synthetic640x480_q100.jpg", Encode(direct, kImageJpeg, 0)},
      {"synthetic640x480_q75.jpg", Encode(direct, kImageJpeg, 64)},
  };
  PixmapDispose(indexed);
  PixmapDispose(direct);
  for (const auto& [name, bytes] : stbFiles) {
    benchmark::RegisterBenchmark(("ImageRead" + name).c_str(), ReadWithImageRead, bytes);
    benchmark::RegisterBenchmark(("Stb" + name).c_str(), ReadWithStb, bytes);
  }
  for (const auto& [name, bytes] : jpegs) {
    benchmark::RegisterBenchmark(("JpegImageRead/" + name).c_str(), ReadWithImageRead, bytes);
    benchmark::RegisterBenchmark(("JpegLibjpeg/" + name).c_str(), ReadWithLibjpeg, bytes);
  }
  for (const auto& [name, bytes] : gifs) {
    benchmark::RegisterBenchmark(("GifImageRead/" + name).c_str(), ReadWithImageRead, bytes);
    benchmark::RegisterBenchmark(("GifGiflib/" + name).c_str(), ReadWithGiflib, bytes);
  }
  for (const auto& [name, bytes] : pngs) {
    benchmark::RegisterBenchmark(("PngImageRead/" + name).c_str(), ReadWithImageRead, bytes);
    benchmark::RegisterBenchmark(("PngLibpng/" + name).c_str(), ReadWithLibpng, bytes);
  }
  benchmark::RegisterBenchmark("PixmapCopyMask/640x480", MaskedCopy);
}

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
