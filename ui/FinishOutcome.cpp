#include "FinishOutcome.h"

namespace finishoutcome {
namespace {
bool DidNothing(const Run& run) { return run.bProfileLoadFailed || run.bSkipped; }
}  // namespace

const char* PageBase(const Run& run) {
  if (run.bUninstall) return DidNothing(run) || run.bIncomplete ? nullptr : "Un3-1";
  if (run.bInstall) return run.bReverted || DidNothing(run) ? "Un4-1" : "Set5-1";
  return nullptr;
}

const char* TitleOverride(const Run& run, bool* pbFromSourceCopy) {
  *pbFromSourceCopy = true;
  if (run.bReverted || (DidNothing(run) && run.bInstall)) return "%s 설치 취소 완료";
  *pbFromSourceCopy = false;
  if (DidNothing(run) && run.bUninstall) return run.bSkipped ? "%s 제거 취소" : "%s 제거";
  if (run.bIncomplete && run.bUninstall) return "%s 제거 실패";
  return nullptr;
}

}  // namespace finishoutcome
