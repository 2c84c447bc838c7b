// The SVG engine on the Adwaita icon theme, next to librsvg doing the same
// work in the same process.
//
//   BM_KitSVG_Icons32/<back-end>  every scalable Adwaita icon parsed from
//                                 memory and drawn at 32 x 32 pixels
//   BM_Librsvg_Icons32            the same with librsvg (handle from the
//                                 bytes, rendered with cairo into 32 x 32)
//   BM_KitSVG_Parse200            the 200 largest icons parsed (no drawing)
//   BM_Librsvg_Parse200           the same 200 files parsed by librsvg
//   BM_KitSVG_Parse200x5KB        200 documents of about 5 KB each, every
//                                 one the bodies of consecutive icons under
//                                 one root, parsed (no drawing)
//   BM_Librsvg_Parse200x5KB       the same documents parsed by librsvg
//
// The file contents are read once before timing; each iteration handles
// the whole set.

#include <benchmark/benchmark.h>
#include <librsvg/rsvg.h>

#include <QDirIterator>
#include <QFile>
#include <algorithm>

#include "bench/support/BenchSupport.h"
#include "foundation/KitGraphicsSVGEngine.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"

namespace {

struct TIcon {
  QString File;
  QByteArray Bytes;
};

const std::vector<TIcon>& Icons() {
  static const std::vector<TIcon> icons = [] {
    std::vector<TIcon> result;
    QDirIterator it(QStringLiteral("/usr/share/icons/Adwaita/scalable"), {QStringLiteral("*.svg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString file = it.next();
      QFile f(file);
      if (f.open(QIODevice::ReadOnly)) result.push_back({file, f.readAll()});
    }
    std::sort(result.begin(), result.end(), [](const TIcon& a, const TIcon& b) { return a.File < b.File; });
    return result;
  }();
  return icons;
}

// The 200 largest icons.
const std::vector<TIcon>& Largest200() {
  static const std::vector<TIcon> icons = [] {
    std::vector<TIcon> all = Icons();
    std::sort(all.begin(), all.end(), [](const TIcon& a, const TIcon& b) { return a.Bytes.size() > b.Bytes.size(); });
    if (all.size() > 200) all.resize(200);
    return all;
  }();
  return icons;
}

// 200 documents of at least 5,000 bytes: the bodies of consecutive icons
// (from the i-th on) under one root.
const std::vector<TIcon>& Merged200() {
  static const std::vector<TIcon> docs = [] {
    std::vector<TIcon> result;
    const auto& icons = Icons();
    if (icons.empty()) return result;
    auto body = [](const QByteArray& b) {
      const qsizetype root = b.indexOf("<svg");
      const qsizetype open = root < 0 ? -1 : b.indexOf('>', root);
      const qsizetype close = b.lastIndexOf("</svg>");
      return open < 0 || close < open ? QByteArray() : b.mid(open + 1, close - open - 1);
    };
    for (size_t i = 0; i < 200; ++i) {
      QByteArray doc = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 16 16\">";
      for (size_t k = i; doc.size() < 5000; ++k) doc += body(icons[k % icons.size()].Bytes);
      doc += "</svg>";
      result.push_back({QStringLiteral("merged %1").arg(i), doc});
    }
    return result;
  }();
  return docs;
}

qint64 TotalBytes(const std::vector<TIcon>& icons) {
  qint64 n = 0;
  for (const TIcon& i : icons) n += i.Bytes.size();
  return n;
}

void BM_KitSVG_Icons32(benchmark::State& state) {
  const bool native = state.range(0) != 0;
  const auto& icons = Icons();
  if (icons.empty()) {
    state.SkipWithError("adwaita-icon-theme is not installed");
    return;
  }
  TBitmap target(32, 32);
  target.SetPixelFormat(pf32bit);
  int failed = 0;
  for (auto _ : state) {
    for (const TIcon& icon : icons) {
      TKitGraphicsSVGImport doc;
      try {
        TBytesStream stream(icon.Bytes);
        doc.LoadFromStream(&stream);
      } catch (const Exception&) {
        ++failed;
        continue;
      }
      doc.Draw(target.Canvas(), TRectF(0, 0, 32, 32), native);
    }
  }
  state.counters["icons"] = double(icons.size());
  state.counters["failed"] = failed;
  state.SetLabel(native ? "GDI+" : "GDI");
}
BENCHMARK(BM_KitSVG_Icons32)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_Librsvg_Icons32(benchmark::State& state) {
  const auto& icons = Icons();
  if (icons.empty()) {
    state.SkipWithError("adwaita-icon-theme is not installed");
    return;
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
  int failed = 0;
  for (auto _ : state) {
    for (const TIcon& icon : icons) {
      GError* error = nullptr;
      RsvgHandle* handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(icon.Bytes.constData()),
                                                     gsize(icon.Bytes.size()), &error);
      if (handle == nullptr) {
        g_clear_error(&error);
        ++failed;
        continue;
      }
      cairo_t* cr = cairo_create(surface);
      const RsvgRectangle viewport{0, 0, 32, 32};
      if (!rsvg_handle_render_document(handle, cr, &viewport, &error)) {
        g_clear_error(&error);
        ++failed;
      }
      cairo_destroy(cr);
      g_object_unref(handle);
    }
  }
  cairo_surface_destroy(surface);
  state.counters["icons"] = double(icons.size());
  state.counters["failed"] = failed;
}
BENCHMARK(BM_Librsvg_Icons32)->Unit(benchmark::kMillisecond);

void BM_KitSVG_Parse200(benchmark::State& state) {
  const auto& icons = Largest200();
  for (auto _ : state) {
    for (const TIcon& icon : icons) {
      TKitGraphicsSVGImport doc;
      TBytesStream stream(icon.Bytes);
      doc.LoadFromStream(&stream);
      benchmark::DoNotOptimize(doc.ElementCount());
    }
  }
  state.counters["files"] = double(icons.size());
  state.counters["mean_bytes"] = icons.empty() ? 0.0 : double(TotalBytes(icons)) / double(icons.size());
}
BENCHMARK(BM_KitSVG_Parse200)->Unit(benchmark::kMillisecond);

void BM_Librsvg_Parse200(benchmark::State& state) {
  const auto& icons = Largest200();
  for (auto _ : state) {
    for (const TIcon& icon : icons) {
      GError* error = nullptr;
      RsvgHandle* handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(icon.Bytes.constData()),
                                                     gsize(icon.Bytes.size()), &error);
      if (handle)
        g_object_unref(handle);
      else
        g_clear_error(&error);
    }
  }
  state.counters["files"] = double(icons.size());
}
BENCHMARK(BM_Librsvg_Parse200)->Unit(benchmark::kMillisecond);

void BM_KitSVG_Parse200x5KB(benchmark::State& state) {
  const auto& docs = Merged200();
  for (auto _ : state) {
    for (const TIcon& d : docs) {
      TKitGraphicsSVGImport doc;
      TBytesStream stream(d.Bytes);
      doc.LoadFromStream(&stream);
      benchmark::DoNotOptimize(doc.ElementCount());
    }
  }
  state.counters["files"] = double(docs.size());
  state.counters["mean_bytes"] = docs.empty() ? 0.0 : double(TotalBytes(docs)) / double(docs.size());
}
BENCHMARK(BM_KitSVG_Parse200x5KB)->Unit(benchmark::kMillisecond);

void BM_Librsvg_Parse200x5KB(benchmark::State& state) {
  const auto& docs = Merged200();
  for (auto _ : state) {
    for (const TIcon& d : docs) {
      GError* error = nullptr;
      RsvgHandle* handle =
          rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(d.Bytes.constData()), gsize(d.Bytes.size()), &error);
      if (handle)
        g_object_unref(handle);
      else
        g_clear_error(&error);
    }
  }
  state.counters["files"] = double(docs.size());
}
BENCHMARK(BM_Librsvg_Parse200x5KB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
