#include "host/cli/Plot.h"

#include <cairo.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/cli/CliError.h"

namespace cli {
namespace {

constexpr int kWidth = 1200;
constexpr int kHeight = 640;
constexpr double kMargin = 56;
constexpr double kFloorDb = -72;

struct Box {
  double x, y, w, h;
};

const double kColour[2][3] = {{0.15, 0.55, 0.95}, {0.95, 0.45, 0.15}};

void label(cairo_t* cr, double x, double y, const std::string& text, double size = 12) {
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
}

void frame(cairo_t* cr, const Box& b, const std::string& title) {
  cairo_set_source_rgb(cr, 0.10, 0.11, 0.13);
  cairo_rectangle(cr, b.x, b.y, b.w, b.h);
  cairo_fill(cr);
  cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
  label(cr, b.x, b.y - 8, title, 13);
}

// Picks a tidy grid step for a time axis of `span` seconds.
double gridStep(double span) {
  const double steps[] = {0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600};
  for (double s : steps)
    if (span / s <= 12) return s;
  return 1200;
}

void timeAxis(cairo_t* cr, const Box& b, double span, bool milliseconds) {
  const double step = gridStep(span);
  cairo_set_line_width(cr, 1);
  for (double t = 0; t <= span + 1e-9; t += step) {
    const double x = b.x + b.w * t / span;
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_move_to(cr, x + 0.5, b.y);
    cairo_line_to(cr, x + 0.5, b.y + b.h);
    cairo_stroke(cr);
    char text[32];
    if (milliseconds)
      std::snprintf(text, sizeof text, "%.0f ms", t * 1000);
    else
      std::snprintf(text, sizeof text, "%g s", t);
    cairo_set_source_rgb(cr, 0.7, 0.7, 0.7);
    label(cr, x - 10, b.y + b.h + 15, text, 11);
  }
}

void drawWaveform(cairo_t* cr, const Box& b, const Waveform& w, int rate) {
  const size_t buckets = w.lo[0].size();
  const double span = std::max(1e-3, static_cast<double>(w.frames) / rate);
  timeAxis(cr, b, span, false);
  if (buckets == 0) return;
  const int columns = static_cast<int>(b.w);
  for (int c = 0; c < 2; ++c) {
    // Left channel in the upper lane, right in the lower one.
    const double mid = b.y + b.h * (c == 0 ? 0.25 : 0.75);
    const double half = b.h * 0.23;
    cairo_set_source_rgb(cr, kColour[c][0], kColour[c][1], kColour[c][2]);
    cairo_set_line_width(cr, 1);
    for (int x = 0; x < columns; ++x) {
      const size_t from = buckets * x / columns;
      const size_t to = std::max(from + 1, buckets * (x + 1) / columns);
      float lo = 0, hi = 0;
      for (size_t i = from; i < to && i < buckets; ++i) {
        lo = std::min(lo, w.lo[c][i]);
        hi = std::max(hi, w.hi[c][i]);
      }
      const double top = mid - half * std::clamp(hi, -1.0f, 1.0f);
      const double bottom = mid - half * std::clamp(lo, -1.0f, 1.0f);
      cairo_move_to(cr, b.x + x + 0.5, top);
      cairo_line_to(cr, b.x + x + 0.5, std::max(bottom, top + 1));
      cairo_stroke(cr);
    }
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    label(cr, b.x + 4, mid - half + 10, c == 0 ? "L" : "R", 11);
  }
}

void drawImpulse(cairo_t* cr, const Box& b, const Planar& ir, int rate) {
  const long frames = ir.empty() ? 0 : static_cast<long>(ir[0].size());
  const double span = std::max(1e-3, static_cast<double>(frames) / rate);
  timeAxis(cr, b, span, span <= 2.0);
  // dB grid
  for (double db = 0; db >= kFloorDb; db -= 12) {
    const double y = b.y + b.h * (db / kFloorDb);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_move_to(cr, b.x, y + 0.5);
    cairo_line_to(cr, b.x + b.w, y + 0.5);
    cairo_stroke(cr);
    char text[16];
    std::snprintf(text, sizeof text, "%.0f dB", db);
    cairo_set_source_rgb(cr, 0.7, 0.7, 0.7);
    label(cr, b.x - 50, y + 4, text, 11);
  }
  if (frames == 0) return;
  const int columns = static_cast<int>(b.w);
  for (int c = 0; c < 2 && c < static_cast<int>(ir.size()); ++c) {
    cairo_set_source_rgba(cr, kColour[c][0], kColour[c][1], kColour[c][2], 0.85);
    for (int x = 0; x < columns; ++x) {
      const long from = frames * x / columns;
      const long to = std::max(from + 1, frames * (x + 1) / columns);
      float peak = 0;
      for (long i = from; i < to && i < frames; ++i) peak = std::max(peak, std::fabs(ir[c][i]));
      if (peak <= 0) continue;
      const double db = std::max(kFloorDb, 20 * std::log10(static_cast<double>(peak)));
      const double y = b.y + b.h * (std::min(0.0, db) / kFloorDb);
      // The two channels side by side within the column's pixel.
      cairo_rectangle(cr, b.x + x + (c == 0 ? 0.0 : 0.5), y, 0.5 + (columns > 600 ? 0.5 : 1.0), b.y + b.h - y);
      cairo_fill(cr);
    }
  }
  cairo_set_source_rgb(cr, kColour[0][0], kColour[0][1], kColour[0][2]);
  label(cr, b.x + b.w - 90, b.y + 16, "left", 11);
  cairo_set_source_rgb(cr, kColour[1][0], kColour[1][1], kColour[1][2]);
  label(cr, b.x + b.w - 50, b.y + 16, "right", 11);
}

}  // namespace

void writePlot(const std::string& path, const std::string& title, const Waveform& output, const Planar& impulse,
               int sampleRate) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.06);
  cairo_paint(cr);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
  label(cr, kMargin, 26, title, 15);

  const double inner = kWidth - 2 * kMargin;
  const Box top{kMargin, 62, inner, 230};
  const Box bottom{kMargin, 350, inner, 250};
  frame(cr, top, "Output waveform");
  drawWaveform(cr, top, output, sampleRate);
  frame(cr, bottom, "Impulse response of the setting (peak level)");
  drawImpulse(cr, bottom, impulse, sampleRate);

  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const std::string partial = path + ".partial-" + std::to_string(getpid());
  const cairo_status_t status = cairo_surface_write_to_png(surface, partial.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::remove(partial.c_str());
    throw CliError("cannot write " + path + ": " + cairo_status_to_string(status));
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    std::remove(partial.c_str());
    throw CliError("cannot write " + path);
  }
}

}  // namespace cli
