// The step pump that long operations call (every 4 KiB of an extraction): it looks at
// the window queue at most once every 10 ms, so 50,000 steps cost clock reads, not
// 50,000 round trips to the window server.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "runtime/process_messages.h"
#include "ui/application.h"

namespace kestrune::ui {
namespace {

TEST(Pump, StepsLookAtTheQueueAtMostOnceEvery10Ms) {
  TApplication app;
  ASSERT_EQ(Application, &app);
  app.Initialize();
  constexpr int kSteps = 20000;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSteps; ++i) ProcessMessages();
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LE(app.QueueLooks(), 2 + static_cast<int64_t>(ms / 10)) << kSteps << " steps in " << ms << " ms";
  // Once 10 ms have passed the next step looks.
  std::this_thread::sleep_for(std::chrono::milliseconds(11));
  int64_t before = app.QueueLooks();
  ProcessMessages();
  EXPECT_EQ(app.QueueLooks(), before + 1);
}

}  // namespace
}  // namespace kestrune::ui
