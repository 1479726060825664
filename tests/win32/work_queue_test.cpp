// The queue of work off the window's thread, on its own: the order of jobs,
// urgent jobs, Prioritize, cancelling, answers dropped when the queue goes,
// jobs and answers that throw, jobs set aside after the time limit and the
// cap of jobs per root.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>
#include <algorithm>
#include <thread>
#include <vector>

#include "common/text_error.h"
#include "kit.h"
#include "ui/work_queue.h"

namespace kit {
namespace {

constexpr UINT kAnswers = WM_APP + 0x77;

// A window that counts the queue's announcements, and a gate that holds the
// queue's one thread until the test opens it.
class WorkQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    gate_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  void TearDown() override {
    SetEvent(gate_);
    CloseHandle(gate_);
    DestroyWindow(window_);
    ui::SetExceptionReporter(nullptr);
  }
  // A job that waits at the gate, noting that it started.
  ui::WorkQueue::Job Blocker() {
    return [this](const ui::WorkQueue::Context&) {
      started_ = true;
      WaitForSingleObject(gate_, 10000);
    };
  }
  // A job that answers with its name, appended to order_ on this thread.
  ui::WorkQueue::Job Named(const std::string& name) {
    return [this, name](const ui::WorkQueue::Context& c) { c.Reply([this, name] { order_.push_back(name); }); };
  }
  // Delivers until `count` answers arrived; true when they did.
  bool DeliverUntil(ui::WorkQueue& q, std::size_t count) {
    return PumpUntil([&] {
      q.Deliver();
      return order_.size() >= count;
    });
  }
  // Waits (without handling messages) until the queue announced answers
  // to the window, and takes the announcements.
  int Announcements() {
    int n = 0;
    for (int i = 0; i < 2000 && n == 0; ++i) {
      MSG msg{};
      while (PeekMessageA(&msg, window_, kAnswers, kAnswers, PM_REMOVE)) ++n;
      if (n == 0) Sleep(5);
    }
    return n;
  }

  HWND window_ = nullptr;
  HANDLE gate_ = nullptr;
  std::atomic<bool> started_{false};
  std::vector<std::string> order_;
};

TEST_F(WorkQueueTest, JobsRunInOrderUrgentFirstAndPrioritizedKeysBeforeAll) {
  ui::WorkQueue q(window_, kAnswers, 1, false);
  q.Post("x", Blocker());
  ASSERT_TRUE(PumpUntil([&] { return started_.load(); }));
  q.Post("a", Named("a1"));
  q.Post("b", Named("b1"));
  q.Post("a", Named("a2"));
  q.Post("c", Named("c-urgent"), true);
  q.Post("b", Named("b2"));
  EXPECT_TRUE(q.Busy());
  // The jobs of b move before all others, the urgent one too, each keeping
  // its order.
  q.Prioritize("b");
  q.Prioritize("nobody");
  SetEvent(gate_);
  ASSERT_TRUE(DeliverUntil(q, 5));
  EXPECT_EQ(order_, (std::vector<std::string>{"b1", "b2", "c-urgent", "a1", "a2"}));
  EXPECT_TRUE(PumpUntil([&] { return !q.Busy(); }));
  // Answers are announced to the window with the queue's message.
  q.Post("d", Named("d"));
  EXPECT_GE(Announcements(), 1);
  q.Deliver();
  EXPECT_EQ(order_.back(), "d");
  EXPECT_FALSE(q.Busy());
}

TEST_F(WorkQueueTest, CancelledJobsNeverRunOrAnswerAndSendAnswersFromAnyThread) {
  ui::WorkQueue q(window_, kAnswers, 1, false);
  q.Post("x", Blocker());
  ASSERT_TRUE(PumpUntil([&] { return started_.load(); }));
  std::atomic<bool> ran{false};
  const auto dropped = q.Post("a", [&](const ui::WorkQueue::Context&) { ran = true; });
  q.Post("b", Named("b"));
  q.Cancel(dropped);
  // Every job of a key, queued ones and (see below) running ones.
  q.Post("k", [&](const ui::WorkQueue::Context&) { ran = true; });
  q.Post("k", [&](const ui::WorkQueue::Context&) { ran = true; }, true);
  q.CancelKey("k");
  SetEvent(gate_);
  ASSERT_TRUE(DeliverUntil(q, 1));
  EXPECT_FALSE(ran);

  // A running job is told, and what it answers afterwards is dropped.
  ResetEvent(gate_);
  std::atomic<bool> saw_cancel{false};
  started_ = false;
  const auto running = q.Post("r", [&](const ui::WorkQueue::Context& c) {
    started_ = true;
    WaitForSingleObject(gate_, 10000);
    saw_cancel = c.Cancelled();
    c.Reply([this] { order_.push_back("late"); });
  });
  ASSERT_TRUE(PumpUntil([&] { return started_.load(); }));
  q.Cancel(running);
  SetEvent(gate_);
  ASSERT_TRUE(PumpUntil([&] { return !q.Busy(); }));
  q.Deliver();
  EXPECT_TRUE(saw_cancel);
  ResetEvent(gate_);
  saw_cancel = false;
  started_ = false;
  q.Post("r", [&](const ui::WorkQueue::Context& c) {
    started_ = true;
    WaitForSingleObject(gate_, 10000);
    saw_cancel = c.Cancelled();
  });
  ASSERT_TRUE(PumpUntil([&] { return started_.load(); }));
  q.CancelKey("r");
  SetEvent(gate_);
  ASSERT_TRUE(PumpUntil([&] { return !q.Busy(); }));
  EXPECT_TRUE(saw_cancel);

  // An answer without a job, from another thread, comes the same way.
  std::thread([&] { q.Send([this] { order_.push_back("sent"); }); }).join();
  ASSERT_TRUE(DeliverUntil(q, 2));
  EXPECT_EQ(order_, (std::vector<std::string>{"b", "sent"}));
}

TEST_F(WorkQueueTest, AQueueDestroyedDropsItsJobsAndAnswers) {
  auto held = std::make_shared<int>(1);
  std::weak_ptr<int> watch = held;
  std::atomic<bool> second_ran{false};
  {
    ui::WorkQueue q(window_, kAnswers, 1, false);
    q.Post("a", [held = std::move(held)](const ui::WorkQueue::Context& c) {
      c.Reply([held] { ADD_FAILURE() << "an answer of a destroyed queue ran"; });
    });
    ASSERT_EQ(Announcements(), 1);
    q.Post("x", Blocker());
    ASSERT_TRUE(PumpUntil([&] { return started_.load(); }));
    q.Post("b", [&](const ui::WorkQueue::Context&) { second_ran = true; });
  }
  // The answer waiting was destroyed with what it held; the job queued
  // never runs, even once the running one ends.
  EXPECT_TRUE(watch.expired());
  SetEvent(gate_);
  Sleep(100);
  EXPECT_FALSE(second_ran);
}

TEST_F(WorkQueueTest, AJobOrAnswerThatThrowsIsReportedAtDeliveryAndTheOthersGoOn) {
  std::vector<std::string> reported;
  ui::SetExceptionReporter([&](const std::string& what) { reported.push_back(what); });
  ui::WorkQueue q(window_, kAnswers, 1, false);
  q.Post("a", [](const ui::WorkQueue::Context&) { throw std::runtime_error("job failed"); });
  q.Post("b", [](const ui::WorkQueue::Context& c) { c.Reply([] { throw std::runtime_error("answer failed"); }); });
  q.Post("c", Named("c"));
  ASSERT_TRUE(DeliverUntil(q, 1));
  // Nothing is reported on the job's thread: only where the answers run.
  EXPECT_EQ(reported, (std::vector<std::string>{"job failed", "answer failed"}));
  EXPECT_EQ(order_, std::vector<std::string>{"c"});
  // The thread lived on.
  q.Post("d", Named("d"));
  ASSERT_TRUE(DeliverUntil(q, 2));
}

TEST_F(WorkQueueTest, AnAnswerThatDestroysTheQueueDropsTheAnswersAfterIt) {
  auto q = std::make_unique<ui::WorkQueue>(window_, kAnswers, 1, false);
  q->Send([&] {
    order_.push_back("first");
    q.reset();  // as the end of the session does, from a message box's loop
  });
  q->Send([&] { order_.push_back("after the end"); });
  q->Deliver();
  EXPECT_EQ(q, nullptr);
  EXPECT_EQ(order_, std::vector<std::string>{"first"});
}

TEST_F(WorkQueueTest, AQueueThatGetsNoThreadQueuesNothingAndWorksOnceItGetsOne) {
  ui::WorkQueue q(window_, kAnswers, 1, false);
  std::atomic<bool> ran{false};
  ui::WorkQueue::RefuseThreadsForTests(true);
  EXPECT_THROW(q.Post("a", [&](const ui::WorkQueue::Context&) { ran = true; }), korvane::TextError);
  ui::WorkQueue::RefuseThreadsForTests(false);
  EXPECT_FALSE(q.Busy());
  // The refused thread was never counted: the next job gets one.
  q.Post("b", Named("b"));
  ASSERT_TRUE(DeliverUntil(q, 1));
  EXPECT_FALSE(ran);
  EXPECT_EQ(order_, std::vector<std::string>{"b"});
}

TEST_F(WorkQueueTest, AJobPastTheLimitIsSetAsideAndARootThatDoesNotAnswerHoldsUpNoOther) {
  // One thread, a short limit, one job per root.
  ui::WorkQueue q(window_, kAnswers, 1, false, 100, 1);
  const auto post = [&](const std::string& root, const std::string& name, ui::WorkQueue::Job job) {
    ui::WorkQueue::Options options;
    options.key = name;
    options.root = root;
    options.late = [this, name] { order_.push_back(name + " late"); };
    return q.Post(std::move(job), std::move(options));
  };
  std::atomic<int> dead_started{0};
  const auto dead = [&](const std::string& name) {
    return [&, name](const ui::WorkQueue::Context& c) {
      ++dead_started;
      WaitForSingleObject(gate_, 10000);
      c.Reply([this, name] { order_.push_back(name + " answered"); });
    };
  };
  post("\\\\dead\\share", "d1", dead("d1"));
  post("\\\\dead\\share", "d2", dead("d2"));
  post("c:", "local", Named("local"));
  // The dead root's first job is set aside (late answer), its second never
  // starts while the first holds the root's one place, and gets its late
  // answer once it has waited out the limit; the local job runs on a new
  // thread meanwhile.
  ASSERT_TRUE(DeliverUntil(q, 3));
  std::vector<std::string> got = order_;
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<std::string>{"d1 late", "d2 late", "local"}));
  EXPECT_EQ(dead_started, 1);
  // Set aside, the jobs do not keep the queue busy. (The local job's
  // thread may still be on its way out of it just after its answer came.)
  for (const ULONGLONG end = GetTickCount64() + 2000; q.Busy() && GetTickCount64() < end;) Sleep(5);
  EXPECT_FALSE(q.Busy());
  // The root answers at last: both answers still come, the second job
  // having run once the first freed the root.
  SetEvent(gate_);
  ASSERT_TRUE(DeliverUntil(q, 5));
  EXPECT_EQ(dead_started, 2);
  EXPECT_EQ(std::vector<std::string>(order_.begin() + 3, order_.end()),
            (std::vector<std::string>{"d1 answered", "d2 answered"}));

  // A job cancelled gets no late answer.
  ResetEvent(gate_);
  order_.clear();
  const auto id = post("\\\\dead\\share", "d3", dead("d3"));
  q.Cancel(id);
  post("c:", "after", Named("after"));
  ASSERT_TRUE(DeliverUntil(q, 1));
  Sleep(300);
  q.Deliver();
  EXPECT_EQ(order_, std::vector<std::string>{"after"});
}

TEST_F(WorkQueueTest, TheWindowsTimerKeepsEachJobsOwnLimitAndTheHighestPriorityGoesFirst) {
  // A long limit of the queue's own; one job with a short limit of its own.
  ui::WorkQueue q(window_, kAnswers, 1, false, 60000);
  ui::WorkQueue::Options limited;
  limited.key = "slow";
  limited.limit_ms = 100;
  limited.late = [this] { order_.push_back("slow late"); };
  q.Post(Blocker(), std::move(limited));
  ASSERT_TRUE(PumpUntil([&] { return started_.load(); }));
  // Queued behind it, on the one thread, a job of a low and one of a high
  // priority.
  std::atomic<bool> ran{false};
  ui::WorkQueue::Options low, high;
  low.key = "low";
  high.key = "high";
  high.priority = 1;
  q.Post(Named("low"), std::move(low));
  q.Post(
      [&](const ui::WorkQueue::Context& c) {
        ran = true;
        c.Reply([this] { order_.push_back("high"); });
      },
      std::move(high));
  // Only the window's messages are handled, no answer taken: the timer
  // sets the slow job aside and a new thread runs the next job, the higher
  // priority first.
  ASSERT_TRUE(PumpUntil([&] { return ran.load(); }));
  ASSERT_TRUE(DeliverUntil(q, 3));
  EXPECT_EQ(order_, (std::vector<std::string>{"slow late", "high", "low"}));

  // A job without a limit is never set aside, however short the queue's:
  // the job behind it waits for it.
  q.SetLimit(100);
  order_.clear();
  ResetEvent(gate_);
  started_ = false;
  ui::WorkQueue::Options none;
  none.key = "patient";
  none.limit_ms = 0;
  none.late = [this] { order_.push_back("patient late"); };
  q.Post(
      [this](const ui::WorkQueue::Context& c) {
        started_ = true;
        WaitForSingleObject(gate_, 10000);
        c.Reply([this] { order_.push_back("patient"); });
      },
      std::move(none));
  ASSERT_TRUE(PumpUntil([&] { return started_.load(); }));
  q.Post("after", Named("after"));
  PumpUntil([] { return false; }, 400);
  q.Deliver();
  EXPECT_TRUE(order_.empty());
  SetEvent(gate_);
  ASSERT_TRUE(DeliverUntil(q, 2));
  EXPECT_EQ(order_, (std::vector<std::string>{"patient", "after"}));
}

}  // namespace
}  // namespace kit
