// One idle moment of the frame's command list: every update handler runs and sets its command's
// state, beside the bare calls to as many handlers that only store a flag.
#include <benchmark/benchmark.h>

#include <QAction>

#include <functional>
#include <memory>
#include <vector>

#include "widgets/command.h"

namespace {

constexpr int kCommands = 26;  // the frame's command list

struct Frame {
  vorelia::widgets::TActionList list{"acoes_01"};
  std::vector<std::unique_ptr<QAction>> items;
  bool open = true;

  Frame() {
    for (int i = 0; i < kCommands; ++i) {
      vorelia::widgets::TCommand* command = list.Add(QString("Command%1").arg(i));
      items.push_back(std::make_unique<QAction>(QString("Item %1").arg(i)));
      command->Bind(items.back().get());
      command->SetOnUpdate([this, command] { command->SetEnabled(open); });
    }
  }
};

// The usual idle moment: nothing changed, so no item is touched.
void BM_IdleUpdateUnchanged(benchmark::State& state) {
  Frame frame;
  for (auto _ : state) frame.list.UpdateAll();
  state.SetItemsProcessed(state.iterations() * kCommands);
}
BENCHMARK(BM_IdleUpdateUnchanged);

// Every state flips, so every bound menu item is updated too.
void BM_IdleUpdateEveryStateChanges(benchmark::State& state) {
  Frame frame;
  for (auto _ : state) {
    frame.open = !frame.open;
    frame.list.UpdateAll();
  }
  state.SetItemsProcessed(state.iterations() * kCommands);
}
BENCHMARK(BM_IdleUpdateEveryStateChanges);

// Reference: the handlers' calls alone, each storing one flag.
void BM_IdleUpdateReferenceBareCalls(benchmark::State& state) {
  std::vector<bool> flags(kCommands);
  std::vector<std::function<void()>> handlers;
  for (int i = 0; i < kCommands; ++i) handlers.push_back([&flags, i] { flags[i] = true; });
  for (auto _ : state) {
    for (const auto& handler : handlers) handler();
    benchmark::DoNotOptimize(flags);
  }
  state.SetItemsProcessed(state.iterations() * kCommands);
}
BENCHMARK(BM_IdleUpdateReferenceBareCalls);

}  // namespace
