#include "tools/artgen/PngOut.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace artgen {

namespace {

struct Rgb {
  uint8_t r, g, b;
};

// One pixel of a cairo surface as straight (not premultiplied) RGBA.
inline void unpack(uint32_t px, bool alpha, uint8_t out[4]) {
  const uint32_t a = alpha ? px >> 24 : 255;
  uint32_t r = (px >> 16) & 255, g = (px >> 8) & 255, b = px & 255;
  if (a != 0 && a != 255) {
    r = std::min<uint32_t>(255, (r * 255 + a / 2) / a);
    g = std::min<uint32_t>(255, (g * 255 + a / 2) / a);
    b = std::min<uint32_t>(255, (b * 255 + a / 2) / a);
  }
  out[0] = static_cast<uint8_t>(r);
  out[1] = static_cast<uint8_t>(g);
  out[2] = static_cast<uint8_t>(b);
  out[3] = static_cast<uint8_t>(a);
}

// Median cut over the picture's colour histogram: boxes of colours are split
// at the weighted median of their widest channel until there are `maxColours`
// boxes; each box's weighted mean becomes a palette entry.
struct Entry {
  uint32_t rgb;
  uint32_t count;
};

inline int channel(uint32_t rgb, int c) { return (rgb >> (16 - 8 * c)) & 255; }

std::vector<Rgb> medianCut(std::vector<Entry>& colours, size_t maxColours) {
  struct Box {
    size_t begin, end;
  };
  std::vector<Box> boxes{{0, colours.size()}};
  auto spread = [&](const Box& b, int& widest) {
    int best = -1;
    for (int c = 0; c < 3; ++c) {
      int lo = 255, hi = 0;
      for (size_t i = b.begin; i < b.end; ++i) {
        lo = std::min(lo, channel(colours[i].rgb, c));
        hi = std::max(hi, channel(colours[i].rgb, c));
      }
      if (hi - lo > best) best = hi - lo, widest = c;
    }
    return best;
  };
  while (boxes.size() < maxColours) {
    // Split the box whose colour spread weighted by its pixel count is largest.
    size_t pick = boxes.size();
    double pickScore = 0;
    int pickChannel = 0;
    for (size_t k = 0; k < boxes.size(); ++k) {
      if (boxes[k].end - boxes[k].begin < 2) continue;
      int widest = 0;
      const int s = spread(boxes[k], widest);
      uint64_t n = 0;
      for (size_t i = boxes[k].begin; i < boxes[k].end; ++i) n += colours[i].count;
      const double score = static_cast<double>(s) * std::sqrt(static_cast<double>(n));
      if (s > 0 && score > pickScore) pickScore = score, pick = k, pickChannel = widest;
    }
    if (pick == boxes.size()) break;
    Box b = boxes[pick];
    std::sort(colours.begin() + b.begin, colours.begin() + b.end, [&](const Entry& x, const Entry& y) {
      return channel(x.rgb, pickChannel) < channel(y.rgb, pickChannel);
    });
    uint64_t total = 0, acc = 0;
    for (size_t i = b.begin; i < b.end; ++i) total += colours[i].count;
    size_t mid = b.begin + 1;
    for (size_t i = b.begin; i < b.end - 1; ++i) {
      acc += colours[i].count;
      mid = i + 1;
      if (acc * 2 >= total) break;
    }
    boxes[pick] = {b.begin, mid};
    boxes.push_back({mid, b.end});
  }
  std::vector<Rgb> palette;
  for (const Box& b : boxes) {
    double sum[3] = {0, 0, 0}, n = 0;
    for (size_t i = b.begin; i < b.end; ++i) {
      for (int c = 0; c < 3; ++c) sum[c] += channel(colours[i].rgb, c) * double(colours[i].count);
      n += colours[i].count;
    }
    palette.push_back({static_cast<uint8_t>(sum[0] / n + 0.5), static_cast<uint8_t>(sum[1] / n + 0.5),
                       static_cast<uint8_t>(sum[2] / n + 0.5)});
  }
  return palette;
}

bool writeRows(const std::string& path, int width, int height, int colourType, const std::vector<Rgb>* palette,
               const std::vector<std::vector<uint8_t>>& rows) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> plte;
  if (palette) {
    for (const Rgb& c : *palette) plte.push_back({c.r, c.g, c.b});
    png_set_PLTE(png, info, plte.data(), static_cast<int>(plte.size()));
  }
  png_write_info(png, info);
  for (const auto& row : rows) png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace

bool writePng(cairo_surface_t* surface, int bitsPerPixel, const std::string& path) {
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface);
  const int h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const bool alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_ARGB32;
  const unsigned char* data = cairo_image_surface_get_data(surface);
  auto pixel = [&](int x, int y) {
    return *reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride + 4 * x);
  };

  std::vector<std::vector<uint8_t>> rows(h);
  if (bitsPerPixel == 24 || bitsPerPixel == 32) {
    const int channels = bitsPerPixel / 8;
    for (int y = 0; y < h; ++y) {
      rows[y].resize(static_cast<size_t>(w) * channels);
      for (int x = 0; x < w; ++x) {
        uint8_t c[4];
        unpack(pixel(x, y), alpha && channels == 4, c);
        std::copy(c, c + channels, rows[y].begin() + static_cast<size_t>(x) * channels);
      }
    }
    return writeRows(path, w, h, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, nullptr, rows);
  }

  // 8-bit palette: quantise to at most 256 colours, each pixel to its nearest entry.
  std::unordered_map<uint32_t, uint32_t> histogram;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ++histogram[pixel(x, y) & 0xffffff];
  std::vector<Entry> colours;
  colours.reserve(histogram.size());
  for (const auto& [rgb, n] : histogram) colours.push_back({rgb, n});
  std::sort(colours.begin(), colours.end(), [](const Entry& a, const Entry& b) { return a.rgb < b.rgb; });
  const std::vector<Rgb> palette = medianCut(colours, 256);
  std::unordered_map<uint32_t, uint8_t> index;
  for (const Entry& e : colours) {
    int best = 0;
    long bestDist = -1;
    for (size_t k = 0; k < palette.size(); ++k) {
      const long dr = channel(e.rgb, 0) - palette[k].r, dg = channel(e.rgb, 1) - palette[k].g,
                 db = channel(e.rgb, 2) - palette[k].b;
      const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
      if (bestDist < 0 || d < bestDist) bestDist = d, best = static_cast<int>(k);
    }
    index[e.rgb] = static_cast<uint8_t>(best);
  }
  for (int y = 0; y < h; ++y) {
    rows[y].resize(w);
    for (int x = 0; x < w; ++x) rows[y][x] = index[pixel(x, y) & 0xffffff];
  }
  return writeRows(path, w, h, PNG_COLOR_TYPE_PALETTE, &palette, rows);
}

}  // namespace artgen
