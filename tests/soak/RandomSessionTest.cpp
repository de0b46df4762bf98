// A long random session over the real windows; see RandomSession.h. The seed
// and the number of actions come from KESTO_SOAK_SEED and KESTO_SOAK_ACTIONS
// when they are set, so that a failure can be replayed exactly.

#include "RandomSession.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QtGlobal>

#include <cstdio>

namespace {

constexpr std::uint64_t DefaultSeed = 20240611;
constexpr int DefaultActions = 2000;

std::uint64_t SeedFromEnvironment() {
  const QByteArray text = qgetenv("KESTO_SOAK_SEED");
  if (text.isEmpty()) return DefaultSeed;
  bool ok = false;
  const std::uint64_t seed = text.trimmed().toULongLong(&ok, 0);
  return ok ? seed : DefaultSeed;
}

int ActionsFromEnvironment() {
  bool ok = false;
  const int actions = qEnvironmentVariableIntValue("KESTO_SOAK_ACTIONS", &ok);
  return ok && actions > 0 ? actions : DefaultActions;
}

// The time one action may take: 1 s, ten times that in a build with the
// sanitizers, which make every allocation many times slower;
// KESTO_SOAK_LIMIT_MS sets another limit.
qint64 ActionLimitFromEnvironment() {
  bool ok = false;
  const int limit = qEnvironmentVariableIntValue("KESTO_SOAK_LIMIT_MS", &ok);
  if (ok && limit > 0) return limit;
#if defined(__SANITIZE_ADDRESS__)
  return 10000;
#else
  return 1000;
#endif
}

}  // namespace

TEST(RandomSession, ThousandsOfRandomActionsKeepTheTableSoundAndTheWindowsResponsive) {
  const std::uint64_t seed = SeedFromEnvironment();
  const int actions = ActionsFromEnvironment();
  std::printf("soak: seed %llu, %d actions, at most %lld ms each\n",
              static_cast<unsigned long long>(seed), actions,
              static_cast<long long>(ActionLimitFromEnvironment()));
  QElapsedTimer timer;
  timer.start();
  RandomSession session(seed, actions);
  session.SetActionLimitMs(ActionLimitFromEnvironment());
  const bool passed = session.Run();
  std::printf(
      "soak: %d actions in %.1f s; slowest #%d %.1f ms: %s\n"
      "soak: %d commits checked, %d message boxes answered, %d saves read back at once, "
      "%d saved files at the end\n",
      session.actionsRun(), timer.elapsed() / 1000.0, session.slowestIndex(),
      session.slowestActionNs() / 1e6, qPrintable(session.slowestAction().left(300)),
      session.commitsChecked(), session.messageBoxes(), session.savesChecked(),
      session.filesVerified());
  if (qEnvironmentVariableIsSet("KESTO_SOAK_SUMMARY"))
    std::printf("%s\n", qPrintable(session.Summary()));
  std::fflush(stdout);
  EXPECT_TRUE(passed) << session.failure().toStdString();
}
