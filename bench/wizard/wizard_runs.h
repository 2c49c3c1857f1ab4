// The wizard runs the Wine bench clicks through, as tables: each row is one
// action of the driver, the page and buttons the wizard must show after it
// (checked with a "state" report) and the screenshot taken then. From a
// table come the driver's script and the visits it must report; the
// driver's output is read back into visits to compare.
//
// Pages are the dialog templates (ui/resource.h) as the driver names them;
// buttons are the enabled ones of Back, Next, Cancel, Finish, as in the
// tests of the simulated machine (core/tests/test_wizard_screens.cpp).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace winewizard {

struct Row {
  const char* action;   // a driver step
  const char* page;     // template id after it ("104"), or null: no check
  const char* buttons;  // e.g. "Back,Next,Cancel", "-" for none
  const char* caption;  // the wizard's title then (UTF-8)
  const char* shot;     // screenshot name without ".png", or null
};

// The wizard's title (UTF-8) while installing, when done, and the same for
// an uninstall.
extern const char kInstalling[];
extern const char kInstalled[];
extern const char kUninstalling[];
extern const char kUninstalled[];

// An install clicked through: the licence declined (as it starts), Back,
// Next, accepted, the progress, Finish.
const std::vector<Row>& InstallRows();
// An uninstall from its entry: the question answered Yes, welcome,
// progress, Finish.
const std::vector<Row>& UninstallRows();
// Cancel asked on the welcome page, refused, Next sent as a command, the
// licence page's controls listed, Cancel asked again and confirmed:
// nothing is installed.
const std::vector<Row>& CancelRows();

// One page the driver reported with "state".
struct Visit {
  std::string page;     // "104", "?" (unknown page) or "0" (none)
  std::string buttons;
  std::string caption;
  bool operator==(const Visit& other) const = default;
};

// The driver's script for a table: screenshots go to `shotsDir` (a
// Windows path), the wait for the wizard's windows to close comes last.
std::vector<std::string> Script(const std::vector<Row>& rows, const std::string& shotsDir);
// The visits a table expects, in order.
std::vector<Visit> Expected(const std::vector<Row>& rows);
// The visits the driver reported, in order.
std::vector<Visit> Reported(const std::string& driverOutput);
// Screenshot names of a table, in order.
std::vector<std::string> Shots(const std::vector<Row>& rows);

// For failure messages: one visit a line; and one visit as GoogleTest
// prints it.
std::string Describe(const std::vector<Visit>& visits);
void PrintTo(const Visit& visit, std::ostream* out);

}  // namespace winewizard
