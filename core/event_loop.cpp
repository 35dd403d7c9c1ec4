#include "core/event_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace zq {

PollEventLoop::PollEventLoop() {
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
  }
}

PollEventLoop::~PollEventLoop() {
  if (wakeRead_ >= 0) ::close(wakeRead_);
  if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

void PollEventLoop::post(Callback call) {
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    posted_.push_back(std::move(call));
  }
  // Wake a poll() that may be sleeping on another thread. A full pipe already
  // holds a wake-up, so a failed write loses nothing.
  if (wakeWrite_ >= 0) {
    const char byte = 1;
    if (::write(wakeWrite_, &byte, 1) < 0) {
    }
  }
}

void PollEventLoop::pump() { round(0); }

namespace {

// poll()'s timeout in milliseconds; longer waits are cut to what it takes.
int pollTimeout(std::chrono::milliseconds wait) {
  if (wait.count() <= 0) return 0;
  return static_cast<int>(std::min<int64_t>(wait.count(), std::numeric_limits<int>::max()));
}

}  // namespace

void PollEventLoop::wait(Milliseconds timeout) { round(pollTimeout(timeout)); }

bool PollEventLoop::runUntil(const std::function<bool()>& done, Milliseconds timeout) {
  // A timeout too long for the clock (Milliseconds::max()) means no limit.
  const Clock::time_point start = Clock::now();
  const bool limited = timeout < std::chrono::duration_cast<Milliseconds>(
                                     Clock::time_point::max() - start) / 2;
  const Clock::time_point deadline = limited ? start + timeout : Clock::time_point::max();
  for (;;) {
    if (done()) return true;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    // Round up, so that the loop does not wake a moment early and spin.
    round(limited ? pollTimeout(std::chrono::ceil<Milliseconds>(deadline - now))
                  : std::numeric_limits<int>::max());
  }
}

EventLoop::WatchId PollEventLoop::watch(int fd, unsigned interest, FdCallback callback) {
  const WatchId id = nextId_++;
  watches_[id] = Watch{fd, interest, std::move(callback)};
  return id;
}

bool PollEventLoop::setInterest(WatchId id, unsigned interest) {
  auto it = watches_.find(id);
  if (it == watches_.end()) return false;
  it->second.interest = interest;
  return true;
}

void PollEventLoop::unwatch(WatchId id) { watches_.erase(id); }

EventLoop::TimerId PollEventLoop::addTimer(Milliseconds delay, Callback callback,
                                           bool repeating) {
  if (delay.count() < 0) delay = Milliseconds(0);
  const TimerId id = nextId_++;
  const Clock::time_point deadline = Clock::now() + delay;
  // A repeating timer of no delay would never let the loop sleep.
  const Clock::duration interval =
      repeating ? Clock::duration(std::max(delay, Milliseconds(1))) : Clock::duration::zero();
  timers_[id] = Timer{deadline, interval, std::move(callback)};
  timerQueue_.insert({deadline, id});
  return id;
}

void PollEventLoop::cancelTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  timerQueue_.erase({it->second.deadline, id});
  timers_.erase(it);
}

int PollEventLoop::pollOnce(::pollfd* fds, unsigned long count, int timeoutMs) {
  return ::poll(fds, static_cast<nfds_t>(count), timeoutMs);
}

bool PollEventLoop::hasPosted() {
  std::lock_guard<std::mutex> lock(postedMutex_);
  return !posted_.empty();
}

int PollEventLoop::msUntilNextTimer() const {
  if (timerQueue_.empty()) return -1;
  const Clock::duration left = timerQueue_.begin()->first - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  return static_cast<int>(std::chrono::ceil<Milliseconds>(left).count());
}

void PollEventLoop::drainWakePipe() {
  char buffer[256];
  while (::read(wakeRead_, buffer, sizeof buffer) > 0) {
  }
}

void PollEventLoop::round(int timeoutMs) {
  if (hasPosted()) timeoutMs = 0;
  const int timerMs = msUntilNextTimer();
  if (timerMs >= 0 && (timeoutMs < 0 || timerMs < timeoutMs)) timeoutMs = timerMs;

  std::vector<pollfd> fds;
  std::vector<WatchId> ids;
  fds.reserve(watches_.size() + 1);
  ids.reserve(watches_.size() + 1);
  if (wakeRead_ >= 0) {
    fds.push_back(pollfd{wakeRead_, POLLIN, 0});
    ids.push_back(0);
  }
  for (const auto& [id, w] : watches_) {
    if (w.interest == 0) continue;
    short events = 0;
    if (w.interest & kReadable) events |= POLLIN;
    if (w.interest & kWritable) events |= POLLOUT;
    fds.push_back(pollfd{w.fd, events, 0});
    ids.push_back(id);
  }

  // An interrupted or failed poll reports nothing this round.
  const int ready = pollOnce(fds.data(), fds.size(), timeoutMs);

  runPosted();

  if (ready > 0) {
    for (size_t i = 0; i < fds.size(); ++i) {
      const short revents = fds[i].revents;
      if (revents == 0) continue;
      if (ids[i] == 0) {
        drainWakePipe();
        continue;
      }
      // The watch may have gone (or changed) in an earlier callback of this
      // round; the callback is copied because it may remove its own watch.
      auto it = watches_.find(ids[i]);
      if (it == watches_.end() || it->second.fd != fds[i].fd) continue;
      unsigned readiness = 0;
      if ((revents & (POLLIN | POLLHUP)) && (it->second.interest & kReadable))
        readiness |= kReadable;
      if ((revents & POLLOUT) && (it->second.interest & kWritable)) readiness |= kWritable;
      if (revents & (POLLERR | POLLHUP | POLLNVAL)) readiness |= kFailed;
      if (readiness == 0) continue;
      FdCallback callback = it->second.callback;
      callback(readiness);
    }
  }

  runDueTimers();
}

void PollEventLoop::runPosted() {
  std::deque<Callback> calls;
  {
    std::lock_guard<std::mutex> lock(postedMutex_);
    calls.swap(posted_);
  }
  for (Callback& call : calls) call();
}

void PollEventLoop::runDueTimers() {
  const Clock::time_point now = Clock::now();
  std::vector<TimerId> due;
  for (const auto& [deadline, id] : timerQueue_) {
    if (deadline > now) break;
    due.push_back(id);
  }
  for (TimerId id : due) {
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;  // cancelled by an earlier callback
    Timer& timer = it->second;
    timerQueue_.erase({timer.deadline, id});
    Callback callback;
    if (timer.interval > Clock::duration::zero()) {
      // Keep the rhythm, but never queue a burst of catch-up ticks.
      timer.deadline += timer.interval;
      if (timer.deadline <= now) timer.deadline = now + timer.interval;
      timerQueue_.insert({timer.deadline, id});
      callback = timer.callback;
    } else {
      callback = std::move(timer.callback);
      timers_.erase(it);
    }
    callback();
  }
}

// ---------------------------------------------------------------- current loop

namespace {

EventLoop& defaultLoop() {
  static PollEventLoop loop;
  return loop;
}

std::unique_ptr<EventLoop>& ownedLoop() {
  static std::unique_ptr<EventLoop> owned;
  return owned;
}

EventLoop*& current() {
  static EventLoop* loop = &defaultLoop();
  return loop;
}

}  // namespace

EventLoop& currentEventLoop() { return *current(); }

ScopedEventLoop::ScopedEventLoop(EventLoop& loop) : previous_(current()) { current() = &loop; }

ScopedEventLoop::~ScopedEventLoop() { current() = previous_; }

void setCurrentEventLoop(std::unique_ptr<EventLoop> loop) {
  ownedLoop() = std::move(loop);
  current() = ownedLoop() ? ownedLoop().get() : &defaultLoop();
}

void processMessages() { currentEventLoop().pump(); }

}  // namespace zq
