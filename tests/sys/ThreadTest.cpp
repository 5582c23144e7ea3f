// Worker threads and their synchronised calls into the GUI thread.
#include <gtest/gtest.h>

#include <atomic>

#include "sys/Thread.h"

namespace {

class Recorder : public sys::Thread {
 public:
  explicit Recorder(int steps) : steps_(steps) {}
  std::atomic<int> ranOnGui{0};
  std::atomic<int> steps{0};
  DWORD guiThread = ::GetCurrentThreadId();

 protected:
  void Execute() override {
    for (int i = 0; i < steps_ && !Terminated(); ++i) {
      Synchronize([this] {
        if (::GetCurrentThreadId() == guiThread) ++ranOnGui;
      });
      ++steps;
    }
  }

 private:
  int steps_;
};

class ThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { sys::sync::Init(); }
  void TearDown() override { sys::sync::Shutdown(); }
};

TEST_F(ThreadTest, WaitForServesSynchronisedCallsSoTheyRunOnTheGuiThread) {
  Recorder t(20);
  ASSERT_TRUE(t.Start());
  // The GUI thread waits without a message loop: the join itself must serve
  // the worker's calls or both would wait forever.
  ASSERT_TRUE(t.WaitFor(10000));
  EXPECT_EQ(t.steps.load(), 20);
  EXPECT_EQ(t.ranOnGui.load(), 20);
  EXPECT_TRUE(t.Finished());
}

TEST_F(ThreadTest, TerminateStopsAtTheNextCheckAndStartRunsOnlyOnce) {
  Recorder t(1000000);
  ASSERT_TRUE(t.Start());
  EXPECT_FALSE(t.Start());
  ::Sleep(20);
  t.Terminate();
  ASSERT_TRUE(t.WaitFor(10000));
  EXPECT_LT(t.steps.load(), 1000000);
}

TEST_F(ThreadTest, OnTerminateRunsOnTheGuiThreadAndAFreeOnTerminateThreadDeletesItself) {
  static std::atomic<int> destroyed{0};
  struct SelfFreeing : Recorder {
    SelfFreeing() : Recorder(3) {}
    ~SelfFreeing() override { ++destroyed; }
  };
  auto* t = new SelfFreeing();
  DWORD gui = ::GetCurrentThreadId();
  std::atomic<bool> onGui{false};
  HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  t->SetOnTerminate([&] {
    onGui = ::GetCurrentThreadId() == gui;
    ::SetEvent(done);
  });
  t->SetFreeOnTerminate(true);
  ASSERT_TRUE(t->Start());
  ASSERT_TRUE(sys::sync::WaitServing(done, 10000));
  for (int i = 0; i < 200 && destroyed.load() == 0; ++i) ::Sleep(10);
  EXPECT_TRUE(onGui.load());
  EXPECT_EQ(destroyed.load(), 1);
  ::CloseHandle(done);
}

TEST_F(ThreadTest, AfterShutdownAWaitingWorkerIsReleasedWithoutItsCall) {
  Recorder t(1);
  sys::sync::Shutdown();  // the GUI thread is gone: calls run where they are made
  ASSERT_TRUE(t.Start());
  ASSERT_TRUE(t.WaitFor(10000));
  EXPECT_EQ(t.steps.load(), 1);
}

}  // namespace
