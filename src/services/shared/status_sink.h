// Where an operation says what it is doing while it works. The window shows it (the status line, the
// stage above it, the push-lock box); the headless runner and tests may show it or not. Operations tell
// progress here and return what they found as outcome records.
#pragma once

#include <string>

namespace erpsync {

class StatusSink {
 public:
  virtual ~StatusSink() = default;
  // One sentence about the step under way ("Bringing tblItem from head office: row 3 of 40").
  virtual void status(const std::string& sentence) = 0;
  // The stage of a longer operation, shown above the sentence ("Migrating tblItem").
  virtual void stage(const std::string& what) = 0;
  // Whether this branch holds the push lock at head office: "LOCK", "FREE" or "UNKNOWN", as the lock
  // box shows it.
  virtual void pushLock(const std::string& state) = 0;
  // What the status line shows now (a step may add to it).
  virtual std::string currentStatus() const = 0;
};

}  // namespace erpsync

namespace erpsync {

// The AutoSynch switch as operations see it: whether timer passes run, stopping and restarting them
// around an operation, and the sentence that says passes are off while vouchers wait. The window's
// AutoSynch box and timer unless replaced.
class PassSwitch {
 public:
  virtual ~PassSwitch() = default;
  // Whether passes run (the box is ticked).
  virtual bool on() const = 0;
  // Ticks or unticks the box and starts or stops the timer with it; raises no operator's click.
  virtual void set(bool on) = 0;
  // Hides the box (so it cannot be ticked in the middle of an operation) or shows it again.
  virtual void setHidden(bool hidden) = 0;
  // The line beside the box: "" while passes run, else what is not sent and how to send it.
  virtual void tellState(const std::string& sentence) = 0;
};

}  // namespace erpsync
