// The embedded panel art against the layout tables: every picture has the
// declared size, depth and frames, the knobs turn, and every control's picture
// sits on the background drawn for it.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "editor/PanelLayout.h"
#include "editor/programbar/PresetBarLayout.h"
#include "resources/BitmapResources.h"

namespace {

namespace panel = editor::panel;
namespace bar = presets::bar;

struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, premultiplied as cairo gives them
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct Reader {
  const unsigned char* data;
  size_t left;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
  auto* r = static_cast<Reader*>(closure);
  if (length > r->left) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, r->data, length);
  r->data += length;
  r->left -= length;
  return CAIRO_STATUS_SUCCESS;
}

Image decode(const resources::BitmapResource& b) {
  Reader r{b.png, b.pngSize};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readPng, &r);
  Image img;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    img.width = cairo_image_surface_get_width(s);
    img.height = cairo_image_surface_get_height(s);
    const int stride = cairo_image_surface_get_stride(s);
    const unsigned char* d = cairo_image_surface_get_data(s);
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x)
        img.pixels.push_back(*reinterpret_cast<const uint32_t*>(d + static_cast<size_t>(y) * stride + 4 * x));
  }
  cairo_surface_destroy(s);
  return img;
}

Image decodeId(int id) {
  const resources::BitmapResource* b = resources::findBitmap(id);
  return b ? decode(*b) : Image{};
}

int channelDistance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8)
    d = std::max(d, std::abs(static_cast<int>((a >> shift) & 255) - static_cast<int>((b >> shift) & 255)));
  return d;
}

struct Declared {
  int id, width, height, bits, frames, frameHeight;
};

std::vector<Declared> everyDeclaredBitmap() {
  std::vector<Declared> all;
  for (const auto& b : panel::bitmaps())
    all.push_back({b.id, b.width, b.height, b.bitsPerPixel, b.frames, b.frameHeight});
  for (const auto& b : bar::bitmaps()) all.push_back({b.id, b.width, b.height, 24, b.frames, b.height / b.frames});
  return all;
}

// At every display scale each picture is its 1x size times the scale, the
// strip as a whole (frame n starts at the scaled position of its 1x row).
TEST(BitmapArt, EveryPictureHasTheDeclaredSizeDepthAndFramesAtEveryScale) {
  const auto all = everyDeclaredBitmap();
  ASSERT_EQ(all.size(), 28u + 8u);
  auto scaled = [](int length, double s) { return static_cast<int>(std::floor(length * s + 0.5)); };
  for (double scale : {1.0, 1.5, 2.0}) {
    for (const Declared& d : all) {
      SCOPED_TRACE(std::to_string(d.id) + " at " + std::to_string(scale));
      const resources::BitmapResource* b = resources::findBitmap(d.id, scale);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(b->id, d.id);
      EXPECT_EQ(b->scale, scale);
      EXPECT_EQ(b->bitsPerPixel, d.bits);
      // The PNG header: colour type 2 (RGB), 6 (RGBA) or 3 (palette), 8 bits a sample.
      ASSERT_GT(b->pngSize, 33u);
      EXPECT_EQ(b->png[24], 8);
      EXPECT_EQ(b->png[25], d.bits == 24 ? 2 : d.bits == 32 ? 6 : 3);
      const Image img = decode(*b);
      EXPECT_EQ(img.width, scaled(d.width, scale));
      EXPECT_EQ(img.height, scaled(d.height, scale));
      EXPECT_EQ(b->width, img.width);
      EXPECT_EQ(b->height, img.height);
      EXPECT_EQ(d.frames * d.frameHeight, d.height);
      if (d.bits == 8 && scale == 1.0) {
        std::set<uint32_t> colours(img.pixels.begin(), img.pixels.end());
        EXPECT_LE(colours.size(), 256u);
        EXPECT_GT(colours.size(), 16u);  // a real picture, not a blank page
      }
    }
  }
  // No picture for ids outside the tables, nor at a scale not embedded.
  for (int id : {0, 127, 156, 989, 996, 997, 1000}) EXPECT_EQ(resources::findBitmap(id), nullptr) << id;
  EXPECT_EQ(resources::findBitmap(128, 3.0), nullptr);
}

// The knob's pointer is what differs from the cap's look over all frames:
// its angle, measured from straight up and clockwise, must sweep the 300
// degrees in order, pointing straight up at frame 50.
TEST(BitmapArt, KnobPointersSweepThreeHundredDegreesInOrder) {
  for (int id = 130; id <= 139; ++id) {
    SCOPED_TRACE(id);
    const panel::Bitmap* b = panel::findBitmap(id);
    const Image img = decodeId(id);
    ASSERT_EQ(img.height, b->height);
    const int fh = b->frameHeight, w = b->width;
    // The knob is centred on its view, which frame pixel (2, 2) meets one pixel inside.
    const double cx = 18.5, cy = 18.5;
    std::vector<uint32_t> median(static_cast<size_t>(w) * fh);
    std::vector<uint32_t> column(b->frames);
    for (int y = 0; y < fh; ++y)
      for (int x = 0; x < w; ++x) {
        for (int f = 0; f < b->frames; ++f) column[f] = img.at(x, f * fh + y) & 0xff;  // blue channel
        std::nth_element(column.begin(), column.begin() + b->frames / 2, column.end());
        median[static_cast<size_t>(y) * w + x] = column[b->frames / 2];
      }
    std::vector<double> angle(b->frames);
    for (int f = 0; f < b->frames; ++f) {
      double sx = 0, sy = 0, n = 0;
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < w; ++x) {
          const int diff = std::abs(static_cast<int>(img.at(x, f * fh + y) & 0xff) -
                                    static_cast<int>(median[static_cast<size_t>(y) * w + x]));
          if (diff < 40) continue;
          sx += diff * (x + 0.5 - cx);
          sy += diff * (y + 0.5 - cy);
          n += diff;
        }
      ASSERT_GT(n, 0) << "frame " << f << " shows no pointer";
      angle[f] = std::atan2(sx, -sy) * 180 / M_PI;
    }
    EXPECT_NEAR(angle[0], -150, 8);
    EXPECT_NEAR(angle[50], 0, 5);
    EXPECT_NEAR(angle[100], 150, 8);
    for (int f = 1; f < b->frames; ++f) EXPECT_GT(angle[f], angle[f - 1] - 0.5) << "frame " << f;
  }
}

// Every view lies inside the panel and its picture's frame fits its
// rectangle the way its class draws it.
TEST(BitmapArt, LayoutTablesFitThePanelAndThePictures) {
  using panel::ViewClass;
  const panel::Rect whole{0, 0, panel::kWidth, panel::kHeight};
  ASSERT_EQ(panel::views().size(), 63u);
  int row = 0;
  std::multiset<int> tags;
  for (const auto& v : panel::views()) {
    SCOPED_TRACE(v.row);
    EXPECT_EQ(v.row, ++row);
    tags.insert(v.tag);
    // Tags below 60 are the parameter shown; a side's views show the L / R pair.
    if (v.tag < 60) {
      EXPECT_EQ(v.paramLeft, v.tag);
    }
    if (v.side) {
      EXPECT_EQ(v.paramRight, v.paramLeft + 1);
    }
    EXPECT_TRUE(whole.contains(v.rect));
    EXPECT_GT(v.rect.width(), 0);
    EXPECT_GT(v.rect.height(), 0);
    if (v.bitmap == 0) continue;
    const panel::Bitmap* b = panel::findBitmap(v.bitmap);
    ASSERT_NE(b, nullptr);
    switch (v.viewClass) {
      case ViewClass::AnimKnob: {
        EXPECT_EQ(b->frames, panel::kKnobFrames);
        const panel::Rect d = panel::knobDrawRect(v, b->frameHeight);
        EXPECT_LE(panel::kKnobSourceOffset + d.width(), b->width);
        EXPECT_LE(panel::kKnobSourceOffset + d.height(), b->frameHeight);
        break;
      }
      case ViewClass::OnOffButton:
      case ViewClass::KickButton:
        EXPECT_EQ(b->layout, panel::Layout::TwoHalves);
        EXPECT_EQ(v.rect.width(), b->width);
        EXPECT_EQ(v.rect.height(), b->frameHeight);
        break;
      case ViewClass::Switch:
      case ViewClass::SwitchVert:
        EXPECT_EQ(b->frames, v.positions);
        EXPECT_GE(v.rect.width(), b->width);
        EXPECT_EQ(v.rect.height(), b->frameHeight);
        break;
      case ViewClass::MovieBitmap:
      case ViewClass::Help:
        EXPECT_EQ(v.rect.width(), b->width);
        EXPECT_EQ(v.rect.height(), b->frameHeight);
        break;
      default:
        break;
    }
  }
  for (int tag : tags) EXPECT_EQ(tags.count(tag), tag == 82 ? 2u : 1u) << "tag " << tag;  // both side plates
  ASSERT_EQ(bar::controls().size(), 19u);
  for (const auto& c : bar::controls()) {
    SCOPED_TRACE(c.tag);
    EXPECT_TRUE(c.rect.left >= 0 && c.rect.top >= 0 && c.rect.right <= panel::kWidth && c.rect.bottom <= panel::kHeight);
    if (c.bitmap == 128) continue;
    const bar::Bitmap* b = bar::findBitmap(c.bitmap);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(c.frames, b->frames);
    EXPECT_EQ(c.rect.right - c.rect.left, b->width);
    EXPECT_EQ(c.rect.bottom - c.rect.top, b->height / b->frames);
  }
}

// A control's opaque picture blends into the panel: the corners of what it
// draws equal the background under them, wherever the picture is used. (The
// display's slashes and points are marks drawn from edge to edge.)
TEST(BitmapArt, ControlsSitOnTheirDrawing) {
  const Image bg = decodeId(128);
  ASSERT_EQ(bg.width, panel::kWidth);
  // Knobs leave their whole border to the panel (ticks and shadow pass
  // through it); buttons and switches their corners.
  auto check = [&](int id, int srcX, int srcY, int dstX, int dstY, int w, int h, bool border) {
    const Image img = decodeId(id);
    ASSERT_GT(img.width, 0);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool edgeX = x == 0 || x == w - 1, edgeY = y == 0 || y == h - 1;
        if (!(border ? (edgeX || edgeY) : (edgeX && edgeY))) continue;
        EXPECT_LE(channelDistance(img.at(srcX + x, srcY + y), bg.at(dstX + x, dstY + y)), 3)
            << "bitmap " << id << " at " << dstX + x << ", " << dstY + y;
      }
  };
  for (const auto& v : panel::views()) {
    const panel::Bitmap* b = panel::findBitmap(v.bitmap);
    if (!b || b->bitsPerPixel != 24 || b->layout == panel::Layout::Single || b->width <= 3) continue;
    SCOPED_TRACE(v.row);
    if (v.viewClass == panel::ViewClass::AnimKnob) {
      const panel::Rect d = panel::knobDrawRect(v, b->frameHeight);
      check(v.bitmap, panel::kKnobSourceOffset, panel::kKnobSourceOffset, d.left, d.top, d.width(), d.height(),
            true);
    } else {
      check(v.bitmap, 0, 0, v.rect.left, v.rect.top, std::min(v.rect.width(), b->width), b->frameHeight, false);
    }
  }
  for (const auto& c : bar::controls()) {
    if (c.bitmap == 128) continue;
    SCOPED_TRACE(c.tag);
    const bar::Bitmap* b = bar::findBitmap(c.bitmap);
    check(c.bitmap, 0, 0, static_cast<int>(c.rect.left), static_cast<int>(c.rect.top), b->width,
          b->height / b->frames, false);
  }
}

// Each help page lights the section that the page map gives for the mouse
// over it, and dims it on the other pages.
TEST(BitmapArt, HelpPagesLightTheSectionsOfThePageMap) {
  const Image help = decodeId(154);
  ASSERT_EQ(help.height, 8 * panel::kHelpHeight);
  auto brightness = [&](int page, const panel::Rect& r) {
    double sum = 0;
    for (int y = r.top + 2; y < r.bottom - 2; ++y)
      for (int x = r.left + 2; x < r.right - 2; ++x) {
        const uint32_t p = help.at(x, page * panel::kHelpHeight + y);
        sum += ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
      }
    return sum;
  };
  ASSERT_EQ(panel::sections().size(), 6u);
  for (const auto& s : panel::sections()) {
    SCOPED_TRACE(s.title);
    for (const panel::Rect& part : {s.upper, s.lower}) {
      EXPECT_EQ(panel::helpPageAt((part.left + part.right) / 2.0, (part.top + part.bottom) / 2.0), s.helpPage);
      // Compare with page 0, the whole panel dimmed.
      EXPECT_GT(brightness(s.helpPage, part), 1.5 * brightness(0, part));
    }
  }
  EXPECT_EQ(panel::helpPageAt(10, 80), 7);
  EXPECT_EQ(panel::helpPageAt(930, 80), 7);
  EXPECT_EQ(panel::helpPageAt(567, 100), 3);
  EXPECT_EQ(panel::helpPageAt(568, 50), 1);
}

}  // namespace
