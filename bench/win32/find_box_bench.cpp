// Timing of the find box under Wine with 1,000 groups of 20 entries: the
// index built with the system's fold, the box opened the first time (window,
// index, list) and again, and one keystroke: the filter, the list set and
// repainted on screen, for a text every entry holds and for a rare one.
// Prints medians of 9; asserts nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "data/find.h"
#include "app/find_box.h"
#include "ui/application.h"
#include "ui/text_fold.h"

namespace {

constexpr int kRuns = 9;

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

double Now() {
  LARGE_INTEGER f;
  LARGE_INTEGER t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

korvane::LauncherModel Model() {
  korvane::LauncherModel m;
  for (int g = 0; g < 1000; ++g) {
    korvane::Group group = m.NewGroup("業務" + std::to_string(g));
    for (std::size_t i = 0; i < korvane::kEntryCount; ++i) {
      group.entries[i].title = "月次報告 " + std::to_string(i + 1) + " 集計表";
      group.entries[i].path = "C:\\Users\\担当者\\Documents\\ソフト表\\業務" + std::to_string(g) + "\\Report_" +
                              std::to_string(i + 1) + ".xlsx";
    }
    m.AppendLoaded(std::move(group));
  }
  return m;
}

}  // namespace

int main() {
  ui::Application app;
  const korvane::LauncherModel model = Model();
  ui::Form owner;
  ui::FormArgs args;
  args.bounds = {40, 40, 800, 600};
  if (!owner.Create(args)) return 1;
  owner.Show();
  Pump();

  std::vector<double> build;
  for (int i = 0; i < kRuns; ++i) {
    korvane::FindIndex index(ui::FoldForComparison);
    const double t = Now();
    index.Sync(model);
    build.push_back(Now() - t);
  }
  std::vector<double> first_open;
  std::vector<double> open_again;
  std::vector<double> warm_open;
  std::vector<double> model_changed;
  for (int i = 0; i < kRuns; ++i) {
    // As the main window does: the index built while it waits for input
    // after the start, then the first Ctrl+F.
    auto warm = std::make_unique<korvane::FindBox>(model, korvane::FindBoxCallbacks{});
    warm->ModelChanged();
    double t = Now();
    warm->Open(owner.hwnd());
    RedrawWindow(warm->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    warm_open.push_back(Now() - t);
    // A change of the model while the box is open, nothing changed in it.
    t = Now();
    warm->ModelChanged();
    model_changed.push_back(Now() - t);
    warm->Destroy();
    Pump();
    auto box = std::make_unique<korvane::FindBox>(model, korvane::FindBoxCallbacks{});
    t = Now();
    box->Open(owner.hwnd());
    RedrawWindow(box->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    first_open.push_back(Now() - t);
    box->CloseBox();
    Pump();
    t = Now();
    box->Open(owner.hwnd());
    RedrawWindow(box->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    open_again.push_back(Now() - t);
    box->CloseBox();
    Pump();
  }
  korvane::FindBox box(model, korvane::FindBoxCallbacks{});
  box.Open(owner.hwnd());
  Pump();
  const auto keystroke = [&](const char* text) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
      box.EdtFind.SetText("");
      Pump();
      const double t = Now();
      box.EdtFind.SetText(text);   // as a keystroke: the change runs the filter
      UpdateWindow(box.EdtFind.hwnd());
      UpdateWindow(box.LstFound.hwnd());
      UpdateWindow(box.LblCount.hwnd());
      times.push_back(Now() - t);
    }
    return std::make_pair(Median(times), box.hits().size());
  };
  const auto every = keystroke("報");
  const auto rare = keystroke("業務999");
  std::printf("index of 1000 groups, system fold:  %.2f ms (%zu entries)\n", Median(build),
              box.index().counts().entries);
  std::printf("find box opened the first time:     %.2f ms\n", Median(first_open));
  std::printf("find box opened again:              %.2f ms\n", Median(open_again));
  std::printf("first open over an index built ahead: %.2f ms\n", Median(warm_open));
  std::printf("model changed while open (no change): %.2f ms\n", Median(model_changed));
  std::printf("keystroke, %5zu hits, repainted:    %.2f ms\n", every.second, every.first);
  std::printf("keystroke, %5zu hits, repainted:    %.2f ms\n", rare.second, rare.first);
  std::printf("(one frame at 60 Hz: 16.7 ms; medians of %d)\n", kRuns);
  box.Destroy();
  owner.Destroy();
  return 0;
}
