#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "common/mutex.hpp"

class QObject;
class QThread;

namespace deskplay::platform {

// Tasks handed from any thread to the Qt event loop of one thread, run there one at a time in
// the order they came. The tasks travel through this inbox's own mutex rather than through
// Qt's event queue, so a ThreadSanitizer build sees every hand-over (Qt's libraries are built
// without it); Qt is only asked to wake the loop.
class LoopInbox {
 public:
  using Task = std::function<void()>;

  // Delivers on `thread`'s event loop. Made on `thread` itself or before it starts, so that
  // the thread sees the inbox whole.
  explicit LoopInbox(QThread& thread);
  // On `thread`, or once it has finished: tasks not yet run are dropped.
  ~LoopInbox() EXCLUDES(mutex_);
  LoopInbox(const LoopInbox&) = delete;
  LoopInbox& operator=(const LoopInbox&) = delete;

  // Queues `task` and returns at once. Any thread.
  void post(Task task) EXCLUDES(mutex_);
  // Queues `task` and waits until it has run. Never on the inbox's own thread, and only while
  // its loop runs.
  void postAndWait(const Task& task);

 private:
  class Receiver;

  // Runs what is queued, including tasks posted meanwhile. On the inbox's thread.
  void drain() EXCLUDES(mutex_);

  Mutex mutex_;
  std::deque<Task> tasks_ GUARDED_BY(mutex_);
  // A wake-up is on its way: the next post need not send another.
  bool wakePending_ GUARDED_BY(mutex_) = false;
  std::unique_ptr<Receiver> receiver_;
};

}  // namespace deskplay::platform
