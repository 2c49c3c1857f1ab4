// Whether the work of a run is done or skipped, decided once between the
// page's cancel question (user-interface thread) and the worker thread.
//
// One atomic state holds the whole decision. The page changes it only by
// compare-and-swap; the worker takes its decision with one compare-and-swap
// (after waiting out an open question), so a question opened at any moment
// either comes before the decision, and its answer counts, or after it, and
// the work it finds under way is not touched.
//
//   kUndecided --BeginQuestion--> kQuestionOpen --Answer(no)--> kUndecided
//   kQuestionOpen --Answer(yes)--> kCancelled
//   kUndecided --CancelUndecided (time-out)--> kCancelled
//   kUndecided --worker--> kWorking        kCancelled --worker--> kSkipped
//
// A run is skipped exactly when the final state is kCancelled or kSkipped.
#pragma once
#include <atomic>

class CWorkHandshake {
 public:
  enum State { kUndecided, kQuestionOpen, kCancelled, kWorking, kSkipped };
  // Points of the worker's side at which a test may park it.
  enum WorkerPoint { kBeforeDecision, kWaitingForAnswer, kAfterDecision };
  using PointHook = void (*)(WorkerPoint point, void* context);

  // A new run: the work is wanted and nothing is decided.
  void Reset() { m_state.store(kUndecided); }

  // User-interface thread. Opens the cancel question; true when the
  // question holds the decision (the worker has not decided yet), false
  // when the work is already under way or already skipped.
  bool BeginQuestion();
  // User-interface thread. Closes the question BeginQuestion opened:
  // `cancel` true skips the work, false leaves it wanted.
  void AnswerQuestion(bool cancel);
  // User-interface thread. The wizard ends before the worker decided (the
  // wait-timer limit): the work must not start.
  void CancelUndecided();

  // Worker thread. Waits while a question is open, then decides with one
  // compare-and-swap; true when the work is to be done.
  bool WorkerDecides();

  State Current() const { return static_cast<State>(m_state.load()); }
  bool IsSkipped() const {
    const State s = Current();
    return s == kCancelled || s == kSkipped;
  }

  // Called at each WorkerPoint when set; tests only.
  static void SetPointHook(PointHook hook, void* context);

 private:
  static void AtPoint(WorkerPoint point);
  std::atomic<int> m_state{kUndecided};
};
