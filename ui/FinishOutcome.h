// What the finish page shows for the way a run ended: the picture beside
// the banner and, where the mode's completion title would claim too much,
// the title that replaces it. A run "did nothing" when its configuration did
// not load or its work was cancelled before it began (skipped): such a run
// is never shown as completed.
#pragma once

namespace finishoutcome {

struct Run {
  bool bInstall;
  bool bUninstall;
  bool bReverted;           // the install was rolled back
  bool bProfileLoadFailed;  // no work group ran
  bool bSkipped;            // the work was cancelled before it began
  bool bIncomplete;         // an uninstall's work began but did not end
};

// Base name of the page picture, or nullptr for none. The uninstall's rule
// wins when both flags are set, as the uninstall's pictures replace the
// install's.
const char* PageBase(const Run& run);

// The title format ("%s" = the site's name or "Veltrane RAZ") that replaces
// the mode's completion title, with whether the name is read from the
// source copy (else the installed copy); nullptr keeps the completion title.
const char* TitleOverride(const Run& run, bool* pbFromSourceCopy);

}  // namespace finishoutcome
