// The event loop: what "processing pending window messages" means.
//
// The programs do their long work on one thread and keep everything else
// alive (buttons, timers, sockets, progress) by pumping pending events between
// steps. This interface is that pump. PollEventLoop serves headless runs and
// tests; the windowed programs install one built on the toolkit's loop.
//
// Threads: everything runs on the thread that pumps. post() alone may be
// called from any thread (workers hand results back that way); it wakes a
// loop that is waiting.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <utility>

struct pollfd;

namespace zq {

class EventLoop {
 public:
  using Callback = std::function<void()>;
  using Milliseconds = std::chrono::milliseconds;

  // Readiness of a watched file descriptor.
  enum Ready : unsigned {
    kReadable = 1,  // data (or end of stream) can be read
    kWritable = 2,  // a write will not block
    kFailed = 4,    // error or hang-up on the descriptor
  };
  using FdCallback = std::function<void(unsigned ready)>;

  // 0 is never a valid id.
  using TimerId = uint64_t;
  using WatchId = uint64_t;

  virtual ~EventLoop() = default;

  // Queues a call for the next pump (the programs' "post a message to
  // myself"). A call posted from inside a callback runs on the next pump, not
  // in the middle of the current one. Any thread may post.
  virtual void post(Callback call) = 0;

  // Handles what is pending now: posted calls, ready descriptors, due timers.
  // Never blocks.
  virtual void pump() = 0;

  // Waits up to `timeout` for something to happen (a post, a ready
  // descriptor, a due timer), handles it and returns. Sleeps while there is
  // nothing to do: a wait loop "pump, sleep 5 ms" is wait(5ms).
  virtual void wait(Milliseconds timeout) = 0;

  // Handles events until done() is true (checked first and after every
  // round) or the timeout has passed. True when done() became true.
  virtual bool runUntil(const std::function<bool()>& done, Milliseconds timeout) = 0;

  // Calls `callback` with the readiness whenever fd is ready for what
  // `interest` (kReadable and/or kWritable) asks. Failure is always reported.
  // The watch may be removed from inside its own callback.
  virtual WatchId watch(int fd, unsigned interest, FdCallback callback) = 0;
  // Changes what a watch waits for (0 pauses it). False for an unknown id.
  virtual bool setInterest(WatchId id, unsigned interest) = 0;
  virtual void unwatch(WatchId id) = 0;

  // A timer that fires once after `delay`, or every `delay` when repeating.
  // Timers that are due together fire in deadline order, ties in the order
  // they were added. Cancelling from inside the timer's own callback stops a
  // repeating timer.
  virtual TimerId addTimer(Milliseconds delay, Callback callback, bool repeating = false) = 0;
  virtual void cancelTimer(TimerId id) = 0;
};

// The loop built on poll(2).
class PollEventLoop : public EventLoop {
 public:
  PollEventLoop();
  ~PollEventLoop() override;
  PollEventLoop(const PollEventLoop&) = delete;
  PollEventLoop& operator=(const PollEventLoop&) = delete;

  void post(Callback call) override;
  void pump() override;
  void wait(Milliseconds timeout) override;
  bool runUntil(const std::function<bool()>& done, Milliseconds timeout) override;
  WatchId watch(int fd, unsigned interest, FdCallback callback) override;
  bool setInterest(WatchId id, unsigned interest) override;
  void unwatch(WatchId id) override;
  TimerId addTimer(Milliseconds delay, Callback callback, bool repeating = false) override;
  void cancelTimer(TimerId id) override;

 protected:
  // The one place the loop blocks: poll(2) itself. Tests override it to see
  // how the loop waits.
  virtual int pollOnce(::pollfd* fds, unsigned long count, int timeoutMs);

 private:
  using Clock = std::chrono::steady_clock;
  struct Watch {
    int fd;
    unsigned interest;
    FdCallback callback;
  };
  struct Timer {
    Clock::time_point deadline;
    Clock::duration interval;  // zero for a one-shot timer
    Callback callback;
  };

  // One round: poll with the given timeout (-1 = no limit), then run posted
  // calls, ready descriptors and due timers.
  void round(int timeoutMs);
  bool hasPosted();
  void runPosted();
  void runDueTimers();
  int msUntilNextTimer() const;  // -1 when there is no timer
  void drainWakePipe();

  std::mutex postedMutex_;
  std::deque<Callback> posted_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;

  uint64_t nextId_ = 1;
  std::map<WatchId, Watch> watches_;
  std::map<TimerId, Timer> timers_;
  std::set<std::pair<Clock::time_point, TimerId>> timerQueue_;
};

// The loop every wait of the program pumps. There is always one: a
// PollEventLoop until the program or a test installs another.
EventLoop& currentEventLoop();

// Installs a loop for the lifetime of this object, then puts the previous one
// back.
class ScopedEventLoop {
 public:
  explicit ScopedEventLoop(EventLoop& loop);
  ~ScopedEventLoop();
  ScopedEventLoop(const ScopedEventLoop&) = delete;
  ScopedEventLoop& operator=(const ScopedEventLoop&) = delete;

 private:
  EventLoop* previous_;
};

// Makes `loop` current for the rest of the process (program start-up).
void setCurrentEventLoop(std::unique_ptr<EventLoop> loop);

// The programs' "process pending messages": currentEventLoop().pump().
void processMessages();

}  // namespace zq
