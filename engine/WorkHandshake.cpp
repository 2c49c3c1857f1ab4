#include "WorkHandshake.h"

#include "windows.h"

namespace {
std::atomic<CWorkHandshake::PointHook> g_pointHook{nullptr};
std::atomic<void*> g_pointContext{nullptr};
}  // namespace

void CWorkHandshake::SetPointHook(PointHook hook, void* context) {
  g_pointContext.store(context);
  g_pointHook.store(hook);
}

void CWorkHandshake::AtPoint(WorkerPoint point) {
  if (PointHook hook = g_pointHook.load()) hook(point, g_pointContext.load());
}

bool CWorkHandshake::BeginQuestion() {
  int expected = kUndecided;
  return m_state.compare_exchange_strong(expected, kQuestionOpen);
}

void CWorkHandshake::AnswerQuestion(bool cancel) {
  int expected = kQuestionOpen;
  m_state.compare_exchange_strong(expected, cancel ? kCancelled : kUndecided);
}

void CWorkHandshake::CancelUndecided() {
  int expected = kUndecided;
  if (!m_state.compare_exchange_strong(expected, kCancelled) && expected == kQuestionOpen) {
    // The time-out ends a wizard whose question is still open: the same.
    m_state.compare_exchange_strong(expected, kCancelled);
  }
}

bool CWorkHandshake::WorkerDecides() {
  AtPoint(kBeforeDecision);
  for (bool waited = false;;) {
    int observed = m_state.load();
    if (observed == kQuestionOpen) {
      // The question's answer decides; it is waited for, not taken as a no.
      if (!waited) AtPoint(kWaitingForAnswer);
      waited = true;
      Sleep(10);
      continue;
    }
    const int decided = observed == kUndecided ? kWorking : kSkipped;
    if (observed != kUndecided && observed != kCancelled) {
      AtPoint(kAfterDecision);  // decided before (a second run of the same state)
      return observed == kWorking;
    }
    if (m_state.compare_exchange_strong(observed, decided)) {
      AtPoint(kAfterDecision);
      return decided == kWorking;
    }
    // The page changed the state between the load and the swap: look again.
  }
}
