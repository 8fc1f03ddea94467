#include "platform/testing/fake_main_loop_timers.hpp"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

namespace deskplay::platform::testing {

using Seconds = Clock::Seconds;

struct FakeMainLoopTimers::State {
  struct Entry {
    Seconds due;
    std::optional<Seconds> interval;  // set for repeating timers
    std::function<void()> task;
  };
  std::map<std::uint64_t, Entry> entries;  // by creation order, which breaks ties
  std::uint64_t nextId = 0;
};

namespace {

class FakeTimerHandle final : public TimerHandle {
 public:
  FakeTimerHandle(std::weak_ptr<void> state, std::function<void()> cancel)
      : state_(std::move(state)), cancel_(std::move(cancel)) {}
  ~FakeTimerHandle() override {
    if (!state_.expired()) cancel_();
  }

 private:
  std::weak_ptr<void> state_;
  std::function<void()> cancel_;
};

}  // namespace

FakeMainLoopTimers::FakeMainLoopTimers(FakeClock& clock)
    : clock_(clock), state_(std::make_shared<State>()) {}

FakeMainLoopTimers::~FakeMainLoopTimers() = default;

std::unique_ptr<TimerHandle> FakeMainLoopTimers::repeating(Seconds interval,
                                                           std::function<void()> tick) {
  const std::uint64_t id = state_->nextId++;
  state_->entries.emplace(id, State::Entry{clock_.uptime() + interval, interval, std::move(tick)});
  State* state = state_.get();
  return std::make_unique<FakeTimerHandle>(state_, [state, id] { state->entries.erase(id); });
}

void FakeMainLoopTimers::after(Seconds delay, std::function<void()> task) {
  const std::uint64_t id = state_->nextId++;
  state_->entries.emplace(id, State::Entry{clock_.uptime() + std::max(delay, Seconds(0)),
                                           std::nullopt, std::move(task)});
}

void FakeMainLoopTimers::advance(Seconds duration) {
  const Seconds target = clock_.uptime() + duration;
  for (;;) {
    auto next = state_->entries.end();
    for (auto it = state_->entries.begin(); it != state_->entries.end(); ++it) {
      if (it->second.due <= target &&
          (next == state_->entries.end() || it->second.due < next->second.due)) {
        next = it;
      }
    }
    if (next == state_->entries.end()) break;
    if (next->second.due > clock_.uptime()) clock_.advance(next->second.due - clock_.uptime());
    // The task may stop its own timer or start others, so it runs from a copy.
    const std::function<void()> task = next->second.task;
    if (next->second.interval) {
      next->second.due += *next->second.interval;
    } else {
      state_->entries.erase(next);
    }
    task();
  }
  if (target > clock_.uptime()) clock_.advance(target - clock_.uptime());
}

void FakeMainLoopTimers::runDue() {
  advance(Seconds(0));
}

int FakeMainLoopTimers::repeatingCount() const {
  return static_cast<int>(
      std::count_if(state_->entries.begin(), state_->entries.end(),
                    [](const auto& entry) { return entry.second.interval.has_value(); }));
}

int FakeMainLoopTimers::pendingCount() const {
  return static_cast<int>(state_->entries.size()) - repeatingCount();
}

}  // namespace deskplay::platform::testing
