// The work-sharing loop of the stages: every unit once, progress on the
// calling thread only, an abort that lets the running blocks finish and starts
// no other, and the thread count a render context starts with.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "render/RenderContext.h"
#include "render/WorkCrew.h"

namespace horizonmill {
namespace {

TEST(WorkCrew, EveryUnitOnceInBlocksOfTheAskedSizeProgressOnTheCallingThread) {
  struct Case {
    int threads;
    std::int64_t units, block;
  };
  const Case cases[] = {
      {1, 100, 7},  {2, 100, 7}, {7, 100, 7}, {7, 5, 1}, {3, 1, 10},
      {4, 1000, 1}, {2, 64, 64}, {7, 3, 2},   {1, 0, 4}, {5, 17, 0}};  // a block of 0 counts as 1
  for (const Case& c : cases) {
    WorkCrew crew(c.threads);
    std::vector<std::atomic<int>> seen(static_cast<std::size_t>(c.units));
    std::atomic<bool> odd_block{false};
    const std::int64_t block = std::max<std::int64_t>(c.block, 1);
    auto body = [&](int thread, std::int64_t first, std::int64_t last) {
      if (first % block != 0 || last != std::min(first + block, c.units) || thread >= c.threads)
        odd_block = true;
      for (std::int64_t u = first; u < last; ++u) ++seen[u];
    };
    const auto caller = std::this_thread::get_id();
    std::vector<std::int64_t> reports;
    EXPECT_TRUE(crew.Run(c.units, c.block, body, [&](std::int64_t done) {
      EXPECT_EQ(std::this_thread::get_id(), caller);
      reports.push_back(done);
      return false;
    }));
    for (std::int64_t u = 0; u < c.units; ++u) EXPECT_EQ(seen[u], 1) << u;
    EXPECT_FALSE(odd_block) << c.threads << " " << c.units;
    // Progress rises and ends with every unit done.
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.empty() ? 0 : reports.back(), c.units);
  }
}

TEST(WorkCrew, RunsJobAfterJobAJobOfOneBlockStaysOnTheCallingThreadAReportMayThrow) {
  WorkCrew crew(4);
  for (int job = 0; job < 50; ++job) {
    std::atomic<std::int64_t> sum{0};
    std::atomic<bool> worker{false};
    const std::int64_t units = job % 5 == 0 ? 3 : 200 + job;
    auto body = [&](int thread, std::int64_t first, std::int64_t last) {
      if (thread != 0) worker = true;
      for (std::int64_t u = first; u < last; ++u) sum += u;
    };
    crew.Run(units, job % 5 == 0 ? units : 8, body);
    EXPECT_EQ(sum, units * (units - 1) / 2) << job;
    EXPECT_TRUE(job % 5 != 0 || !worker.load()) << job;  // one block: the caller alone
  }
  // A report that throws leaves no worker inside the caller's body.
  std::atomic<int> started{0}, finished{0};
  auto body = [&](int, std::int64_t, std::int64_t) {
    ++started;
    std::this_thread::yield();
    ++finished;
  };
  EXPECT_THROW(crew.Run(500, 1, body, [](std::int64_t) -> bool { throw std::runtime_error("x"); }),
               std::runtime_error);
  EXPECT_EQ(started.load(), finished.load());
}

// The workers' first blocks wait until the calling thread has asked to stop,
// so the abort falls while every thread holds a block.
TEST(WorkCrew, AnAbortLetsTheHeldBlocksFinishAndStartsNoOther) {
  for (int threads : {1, 2, 7}) {
    WorkCrew crew(threads);
    constexpr std::int64_t kBlocks = 1000;
    std::atomic<bool> stopping{false};
    std::mutex mutex;
    std::vector<std::int64_t> started, finished;
    auto body = [&](int thread, std::int64_t first, std::int64_t) {
      {
        std::lock_guard lock(mutex);
        started.push_back(first);
      }
      if (thread != 0 && stopping) {
        // A block taken just as the caller stops: the caller gets ahead of it.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      while (thread != 0 && !stopping) std::this_thread::yield();
      std::lock_guard lock(mutex);
      finished.push_back(first);
    };
    int reports = 0;
    const bool ran = crew.Run(kBlocks, 1, body, [&](std::int64_t) {
      ++reports;
      stopping = true;
      return true;
    });
    EXPECT_FALSE(ran);
    EXPECT_EQ(reports, 1);  // no report after the one that stopped
    std::sort(started.begin(), started.end());
    std::sort(finished.begin(), finished.end());
    EXPECT_EQ(started, finished);  // every block that began was finished
    // The blocks are taken in order, so those that ran are the first ones:
    // the caller's, one held by each worker, and at most one more each.
    ASSERT_FALSE(started.empty());
    EXPECT_EQ(started.back(), static_cast<std::int64_t>(started.size()) - 1);
    EXPECT_LE(started.size(), static_cast<std::size_t>(1 + 2 * (threads - 1)));
  }
}

TEST(RenderThreads, TheEnvironmentSetsTheDefaultWhenItHoldsACount) {
  const unsigned hardware = std::thread::hardware_concurrency();
  const int machine = hardware == 0 ? 1 : static_cast<int>(std::min(hardware, 256u));
  struct Case {
    const char* value;
    int threads;
  };
  const Case cases[] = {{"3", 3},         {"1", 1},        {"256", 256},    {"0", machine},
                        {"257", machine}, {"-2", machine}, {"2x", machine}, {"", machine}};
  for (const Case& c : cases) {
    ASSERT_EQ(setenv("HORIZONMILL_THREADS", c.value, 1), 0);
    EXPECT_EQ(DefaultRenderThreads(), c.threads) << '"' << c.value << '"';
    EXPECT_EQ(RenderContext().Threads, c.threads) << '"' << c.value << '"';
  }
  unsetenv("HORIZONMILL_THREADS");
  EXPECT_EQ(DefaultRenderThreads(), machine);
}

}  // namespace
}  // namespace horizonmill
