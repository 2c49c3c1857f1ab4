// The cancel handshake between the progress page's question and the
// worker, with every interleaving forced: the worker is parked at one of its
// points while the page's side acts, then let go. Nothing here sleeps to
// make an order happen.
#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "WorkHandshake.h"

namespace {

using Point = CWorkHandshake::WorkerPoint;

// Parks the worker when it reaches one chosen point, until let go.
class Parker {
 public:
  explicit Parker(Point at) : m_at(at) { CWorkHandshake::SetPointHook(&Parker::Hook, this); }
  ~Parker() { CWorkHandshake::SetPointHook(nullptr, nullptr); }

  void WaitUntilParked() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_parked; });
  }
  void LetGo() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_released = true;
    m_changed.notify_all();
  }
  int Visits(Point point) const { return m_visits[point]; }

 private:
  static void Hook(Point point, void* context) {
    auto* self = static_cast<Parker*>(context);
    std::unique_lock<std::mutex> lock(self->m_mutex);
    ++self->m_visits[point];
    if (point != self->m_at || self->m_parked) return;
    self->m_parked = true;
    self->m_changed.notify_all();
    self->m_changed.wait(lock, [&] { return self->m_released; });
  }

  Point m_at;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_parked = false;
  bool m_released = false;
  int m_visits[3] = {};
};

struct Case {
  const char* name;
  Point parkAt;
  // What the page's thread does while the worker is parked.
  std::function<void(CWorkHandshake&)> page;
  // A second step of the page after the worker was let go, when the
  // worker then waits for an answer (it parks nowhere else).
  std::function<void(CWorkHandshake&)> pageAfter;
  bool works;
  CWorkHandshake::State final;
};

void AskAndAnswer(CWorkHandshake& h, bool cancel, bool expectHeld) {
  EXPECT_EQ(expectHeld, h.BeginQuestion());
  if (expectHeld) h.AnswerQuestion(cancel);
}

TEST(WorkHandshake, EveryInterleavingOfQuestionAndWorker) {
  const Case cases[] = {
      {"no before the decision", CWorkHandshake::kBeforeDecision,
       [](CWorkHandshake& h) { AskAndAnswer(h, false, true); }, nullptr, true, CWorkHandshake::kWorking},
      {"yes before the decision", CWorkHandshake::kBeforeDecision,
       [](CWorkHandshake& h) { AskAndAnswer(h, true, true); }, nullptr, false, CWorkHandshake::kSkipped},
      {"time-out before the decision", CWorkHandshake::kBeforeDecision,
       [](CWorkHandshake& h) { h.CancelUndecided(); }, nullptr, false, CWorkHandshake::kSkipped},
      {"time-out while the question is open", CWorkHandshake::kBeforeDecision,
       [](CWorkHandshake& h) {
         EXPECT_TRUE(h.BeginQuestion());
         h.CancelUndecided();
         h.AnswerQuestion(false);  // the box closes after the time-out: too late
       },
       nullptr, false, CWorkHandshake::kSkipped},
      {"question open at the decision, then no", CWorkHandshake::kBeforeDecision,
       [](CWorkHandshake& h) { EXPECT_TRUE(h.BeginQuestion()); },
       [](CWorkHandshake& h) { h.AnswerQuestion(false); }, true, CWorkHandshake::kWorking},
      {"question open at the decision, then yes", CWorkHandshake::kBeforeDecision,
       [](CWorkHandshake& h) { EXPECT_TRUE(h.BeginQuestion()); },
       [](CWorkHandshake& h) { h.AnswerQuestion(true); }, false, CWorkHandshake::kSkipped},
      {"question after the decision, yes", CWorkHandshake::kAfterDecision,
       [](CWorkHandshake& h) {
         EXPECT_FALSE(h.BeginQuestion());
         h.AnswerQuestion(true);  // no question held: changes nothing
         h.CancelUndecided();
       },
       nullptr, true, CWorkHandshake::kWorking},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CWorkHandshake handshake;
    handshake.Reset();
    bool works = !c.works;
    {
      Parker parker(c.parkAt);
      std::thread worker([&] { works = handshake.WorkerDecides(); });
      parker.WaitUntilParked();
      c.page(handshake);
      if (c.pageAfter) {
        // Let the worker reach its wait for the answer, parked there too.
        Parker waiting(CWorkHandshake::kWaitingForAnswer);
        parker.LetGo();
        waiting.WaitUntilParked();
        EXPECT_EQ(CWorkHandshake::kQuestionOpen, handshake.Current());
        c.pageAfter(handshake);
        waiting.LetGo();
        worker.join();
      } else {
        parker.LetGo();
        worker.join();
        EXPECT_EQ(0, parker.Visits(CWorkHandshake::kWaitingForAnswer));
      }
    }
    EXPECT_EQ(c.works, works);
    EXPECT_EQ(c.final, handshake.Current());
    EXPECT_EQ(!c.works, handshake.IsSkipped());
  }
}

// A question that finds the work skipped already leaves it skipped, and a
// new run starts undecided.
TEST(WorkHandshake, DecisionIsKeptUntilTheNextRun) {
  CWorkHandshake handshake;
  handshake.Reset();
  handshake.CancelUndecided();
  EXPECT_FALSE(handshake.WorkerDecides());
  EXPECT_FALSE(handshake.BeginQuestion());
  handshake.AnswerQuestion(false);
  EXPECT_TRUE(handshake.IsSkipped());
  EXPECT_FALSE(handshake.WorkerDecides()) << "decided once";
  handshake.Reset();
  EXPECT_EQ(CWorkHandshake::kUndecided, handshake.Current());
  EXPECT_TRUE(handshake.WorkerDecides());
  EXPECT_FALSE(handshake.IsSkipped());
}

}  // namespace
