#include "core/event_loop.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace zq {
namespace {

using namespace std::chrono_literals;

// Records how the loop waits.
class RecordingLoop : public PollEventLoop {
 public:
  std::vector<int> timeouts;

 protected:
  int pollOnce(::pollfd* fds, unsigned long count, int timeoutMs) override {
    timeouts.push_back(timeoutMs);
    return PollEventLoop::pollOnce(fds, count, timeoutMs);
  }
};

// A pipe closed at the end of the test.
struct Pipe {
  int read = -1, write = -1;
  Pipe() {
    int fds[2];
    EXPECT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    read = fds[0];
    write = fds[1];
  }
  ~Pipe() {
    if (read >= 0) ::close(read);
    if (write >= 0) ::close(write);
  }
};

TEST(EventLoop, PostedCallsRunInOrderAndPostsFromACallbackWaitForTheNextPump) {
  PollEventLoop loop;
  std::string log;
  loop.post([&] {
    log += "a";
    loop.post([&] { log += "c"; });
  });
  loop.post([&] { log += "b"; });
  loop.pump();
  EXPECT_EQ(log, "ab");
  loop.pump();
  EXPECT_EQ(log, "abc");
  loop.pump();
  EXPECT_EQ(log, "abc");
}

TEST(EventLoop, TimersFireInDeadlineOrderTiesInOrderAdded) {
  PollEventLoop loop;
  std::string log;
  loop.addTimer(30ms, [&] { log += "3"; });
  loop.addTimer(10ms, [&] { log += "1"; });
  loop.addTimer(20ms, [&] { log += "2"; });
  const auto tie = loop.addTimer(20ms, [&] { log += "x"; });
  loop.cancelTimer(tie);
  loop.addTimer(0ms, [&] { log += "0"; });
  EXPECT_TRUE(loop.runUntil([&] { return log.size() == 4; }, 5s));
  EXPECT_EQ(log, "0123");

  // Timers due in the same round keep their order.
  std::string same;
  loop.addTimer(0ms, [&] { same += "a"; });
  loop.addTimer(0ms, [&] { same += "b"; });
  std::this_thread::sleep_for(2ms);
  loop.pump();
  EXPECT_EQ(same, "ab");
}

TEST(EventLoop, RepeatingTimerRunsUntilItCancelsItself) {
  PollEventLoop loop;
  int ticks = 0;
  EventLoop::TimerId id = 0;
  id = loop.addTimer(
      1ms,
      [&] {
        if (++ticks == 3) loop.cancelTimer(id);
      },
      true);
  EXPECT_TRUE(loop.runUntil([&] { return ticks == 3; }, 5s));
  loop.runUntil([] { return false; }, 20ms);
  EXPECT_EQ(ticks, 3);
}

TEST(EventLoop, WatchesReportReadinessOfAPipe) {
  PollEventLoop loop;
  Pipe pipe;
  std::vector<unsigned> seen;
  const auto id = loop.watch(pipe.read, EventLoop::kReadable, [&](unsigned ready) {
    seen.push_back(ready);
    char buffer[16];
    while (::read(pipe.read, buffer, sizeof buffer) > 0) {
    }
  });
  loop.pump();
  EXPECT_TRUE(seen.empty());  // nothing written yet

  ASSERT_EQ(::write(pipe.write, "x", 1), 1);
  loop.pump();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], unsigned(EventLoop::kReadable));

  // The write end is writable at once; a paused watch reports nothing.
  unsigned writable = 0;
  const auto w = loop.watch(pipe.write, EventLoop::kWritable, [&](unsigned r) { writable = r; });
  loop.pump();
  EXPECT_EQ(writable, unsigned(EventLoop::kWritable));
  writable = 0;
  EXPECT_TRUE(loop.setInterest(w, 0));
  loop.pump();
  EXPECT_EQ(writable, 0u);

  // Closing the write end shows as readable (end of stream) plus failure.
  loop.unwatch(w);
  ::close(pipe.write);
  pipe.write = -1;
  loop.pump();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_TRUE(seen[1] & EventLoop::kReadable);
  EXPECT_TRUE(seen[1] & EventLoop::kFailed);
  loop.unwatch(id);
  EXPECT_FALSE(loop.setInterest(id, EventLoop::kReadable));
}

TEST(EventLoop, AWatchMayRemoveItselfAndAnotherInsideItsCallback) {
  PollEventLoop loop;
  Pipe a, b;
  ASSERT_EQ(::write(a.write, "x", 1), 1);
  ASSERT_EQ(::write(b.write, "x", 1), 1);
  int calls = 0;
  EventLoop::WatchId first = 0, second = 0;
  first = loop.watch(a.read, EventLoop::kReadable, [&](unsigned) {
    ++calls;
    loop.unwatch(first);   // its own std::function is destroyed here
    loop.unwatch(second);  // the other one is ready in the same round
  });
  second = loop.watch(b.read, EventLoop::kReadable, [&](unsigned) { ++calls; });
  loop.pump();
  loop.pump();
  EXPECT_EQ(calls, 1);
}

TEST(EventLoop, AWaitWithNothingToDoSleepsUntilTheTimer) {
  RecordingLoop loop;
  bool fired = false;
  loop.addTimer(100ms, [&] { fired = true; });
  EXPECT_TRUE(loop.runUntil([&] { return fired; }, 10s));
  // One long sleep (plus perhaps one more if the clock woke a moment early),
  // not a spin of zero-timeout polls.
  ASSERT_FALSE(loop.timeouts.empty());
  EXPECT_LE(loop.timeouts.size(), 3u);
  EXPECT_GT(loop.timeouts.front(), 50);
  EXPECT_LE(loop.timeouts.front(), 100);

  // Without any timer, a wait sleeps for the time it is given.
  loop.timeouts.clear();
  loop.wait(15ms);
  EXPECT_EQ(loop.timeouts, std::vector<int>{15});
  // Something posted makes the wait return at once.
  loop.timeouts.clear();
  loop.post([] {});
  loop.wait(1000ms);
  EXPECT_EQ(loop.timeouts, std::vector<int>{0});
}

TEST(EventLoop, PostFromAnotherThreadWakesTheWait) {
  PollEventLoop loop;
  bool done = false;
  std::thread worker([&] {
    std::this_thread::sleep_for(10ms);
    loop.post([&] { done = true; });
  });
  // No limit at all: the longest timeout must not wrap around the clock.
  EXPECT_TRUE(loop.runUntil([&] { return done; }, EventLoop::Milliseconds::max()));
  worker.join();
}

TEST(EventLoop, CurrentLoopCanBeReplacedForAScope) {
  PollEventLoop mine;
  EventLoop* before = &currentEventLoop();
  {
    ScopedEventLoop scope(mine);
    EXPECT_EQ(&currentEventLoop(), &mine);
    bool ran = false;
    mine.post([&] { ran = true; });
    processMessages();
    EXPECT_TRUE(ran);
  }
  EXPECT_EQ(&currentEventLoop(), before);
}

}  // namespace
}  // namespace zq
