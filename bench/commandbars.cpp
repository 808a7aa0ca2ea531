// Command bars: a 30-item menu opened (layout and first paint) and 40 toolbar controls laid out
// with wrapping.
#include "controls/commandbars/aux_data.h"
#include "controls/commandbars/command_bar.h"
#include "controls/commandbars/controls.h"
#include "controls/commandbars/paint_manager.h"
#include "controls/commandbars/popup_bar.h"
#include "controls/commandbars/resources.h"
#include "controls/commandbars/tool_bar.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_commandbars";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        auto a = std::make_unique<QApplication>(argc, argv);
        GVPToolkitInit();
        CGVPPaintManager::SelectTheme(2);
        return a;
    }();
    return *app;
}

void BM_OpenThirtyItemMenu(benchmark::State& state) {
    App();
    GVPMenu menu;
    for (int i = 0; i < 30; ++i) {
        if (i % 7 == 6)
            menu.Separator();
        menu.Item(QString("Menu item &%1\tCtrl+%1").arg(i), unsigned(1000 + i));
    }
    auto* popup = new CGVPPopupBar;
    popup->LoadMenu(&menu);
    for (auto _ : state) {
        popup->Popup(QPoint(100, 100), nullptr);
        QImage image(popup->size(), QImage::Format_ARGB32_Premultiplied);
        {
            QPainter dc(&image);
            popup->DrawCommandBar(dc);
        }
        benchmark::DoNotOptimize(image.bits());
        state.PauseTiming();
        popup->SetTrackingMode(0, true, false);
        state.ResumeTiming();
    }
    popup->InternalRelease();
}
BENCHMARK(BM_OpenThirtyItemMenu)->Unit(benchmark::kMillisecond);

void BM_LayOutFortyToolbarControlsWithWrapping(benchmark::State& state) {
    App();
    auto* bar = new CGVPToolBar;
    for (int i = 0; i < 40; ++i) {
        CGVPControl* c = bar->GetControls()->Add(gvpControlButton, unsigned(2000 + i));
        c->SetCaption(QString("B%1").arg(i));
        c->SetBeginGroup(i % 5 == 0 && i > 0);
    }
    const int mode = LM_HORZ | LM_HORZDOCK | LM_COMMIT;
    for (auto _ : state) {
        const QSize size =
            bar->GetControls()->CalcDynamicSize(nullptr, 300, mode, QMargins(2, 2, 2, 2), 0);
        benchmark::DoNotOptimize(size);
    }
    bar->InternalRelease();
}
BENCHMARK(BM_LayOutFortyToolbarControlsWithWrapping)->Unit(benchmark::kMicrosecond);

} // namespace
