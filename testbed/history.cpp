// Seeded histories of a branch, played against the testbed and judged by the oracle and the day's story.
#include "history.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

#include "db/connection.h"
#include "db/db_error.h"
#include "db/embedded/embedded_server.h"
#include "db/embedded/fault_injection.h"
#include "db/sql_quote.h"
#include "testbed.h"
#include "util/text.h"

namespace erpsync::testbed::history {

namespace fs = std::filesystem;

namespace {


const char* familyName(VoucherFamily f) {
  switch (f) {
    case VoucherFamily::Sales:
      return "sale";
    case VoucherFamily::Order:
      return "order";
    case VoucherFamily::StockJournal:
      return "stock journal";
    case VoucherFamily::JobCard:
      return "job card";
    case VoucherFamily::Note:
      return "note";
  }
  return "";
}

std::string aFamily(VoucherFamily f) {
  return std::string(f == VoucherFamily::Order ? "an " : "a ") + familyName(f);
}

const char* lineEditName(LineEdit l) {
  switch (l) {
    case LineEdit::None:
      return "header only";
    case LineEdit::Quantity:
      return "header and a line's quantity";
    case LineEdit::Reinsert:
      return "header and a line deleted and inserted again";
    case LineEdit::ReplaceAll:
      return "header and every line saved again";
  }
  return "";
}

std::string two(int v) {
  return fmt::format("{:02}", v);
}
std::string when(const db::DateTime& t) {
  return fmt::format("{:04}-{}-{} {}:{}", t.year, two(t.month), two(t.day), two(t.hour), two(t.minute));
}
std::string dayText(const db::DateTime& t) {
  return when(t).substr(0, 10);
}





std::vector<std::string> words(const std::string& s) {
  std::istringstream in(s);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

// Replaces the value of a "KEY=" line of a settings file (CR LF lines), adding the line when missing.
std::string withSetting(const std::string& text, const std::string& key, const std::string& value) {
  std::string out;
  bool found = false;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto end = text.find("\r\n", pos);
    std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (line.rfind(key + "=", 0) == 0) {
      line = key + "=" + value;
      found = true;
    }
    out += line;
    if (end == std::string::npos) break;
    out += "\r\n";
    pos = end + 2;
  }
  if (!found) out += (out.empty() || out.ends_with("\r\n") ? "" : "\r\n") + key + "=" + value;
  return out;
}

std::string readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string settingOf(const std::string& text, const std::string& key) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

}  // namespace

const char* faultKindName(FaultKind k) {
  switch (k) {
    case FaultKind::Error:
      return "error";
    case FaultKind::Drop:
      return "drop";
    case FaultKind::LostReply:
      return "lost reply";
    case FaultKind::Crash:
      return "crash";
  }
  return "";
}

std::string Fault::plan() const {
  std::string p = "at=" + std::to_string(at);
  switch (kind) {
    case FaultKind::Error:
      p += ";kind=error;error=" + std::to_string(error);
      break;
    case FaultKind::Drop:
      p += ";kind=drop";
      break;
    case FaultKind::LostReply:
      p += ";kind=drop;when=after";
      break;
    case FaultKind::Crash:
      p += ";kind=crash";
      break;
  }
  if (centralOnly) p += ";server=central";
  return p;
}

std::string Step::describe() const {
  switch (kind) {
    case StepKind::Enter:
      return "erp: enter " + aFamily(family);
    case StepKind::Edit:
      return fmt::format("erp: edit {} not yet uploaded (pick {}), {}", aFamily(family), pick, lineEditName(lines));
    case StepKind::EditUploaded:
      return fmt::format("erp: edit an uploaded {} (pick {}), {}", familyName(family), pick, lineEditName(lines));
    case StepKind::Delete:
      return fmt::format("erp: delete {} not yet uploaded (pick {})", aFamily(family), pick);
    case StepKind::DeleteUploaded:
      return fmt::format("erp: delete an uploaded {} (pick {})", familyName(family), pick);
    case StepKind::DeleteNewestAndEnter:
      return fmt::format("erp: delete the newest {} and enter another", familyName(family));
    case StepKind::CentralEdit:
      return fmt::format("head office: edit its copy of a branch voucher (pick {}), {}", pick,
                         lines == LineEdit::None ? "a header column" : "a line's quantity");
    case StepKind::CentralDelete:
      return fmt::format("head office: delete its copy of a branch voucher (pick {})", pick);
    case StepKind::Untick:
      return fmt::format("settings: untick a voucher type (pick {})", pick);
    case StepKind::Tick:
      return fmt::format("settings: tick a voucher type again (pick {})", pick);
    case StepKind::Clock:
      switch (clock) {
        case ClockMove::Minutes:
          return fmt::format("clock: {} minutes on", minutes);
        case ClockMove::LateEvening:
          return "clock: to 23:50";
        case ClockMove::PastMidnight:
          return "clock: past midnight, to 00:10 of the next day";
      }
      return "clock";
    case StepKind::Sync:
      return "sync: " + verb + (fault ? " [fault " + fault->plan() + "]" : "");
  }
  return "";
}


// ---- runners ----

namespace {

// A voucher the history entered, as the model keeps it.
struct Entered {
  VoucherFamily family;
  long long id;
  std::string number;
  db::DateTime date;
  int step;  // when it was entered
  bool alive = true;
};

// A day start or day end that completed: its day row was written at the branch.
struct DayEvent {
  int step;
  db::DateTime workingDate;
  bool dayEnd;
  // The verb told the operator that head office's day row could not be written (its link went after
  // the branch's row): head office then lacks that row, and was said to.
  bool centralRowToldMissing = false;
};

bool toldCentralRowMissing(const std::string& output) {
  return output.find("Not written: head office's day row") != std::string::npos ||
         output.find("Not written: both day rows") != std::string::npos;
}

std::string shortOutput(const std::string& s) {
  // The lines that say what the verb did, not the connection banner.
  std::string out;
  std::istringstream in(s);
  for (std::string line; std::getline(in, line);) {
    static const char* banner[] = {"Local server:", "Central server:", "DesktopCompany:", "OnlineCompany:",
                                   "Cost centre:",  "Voucher types:",  "Status: Connection"};
    bool skip = false;
    for (const char* b : banner) skip = skip || line.rfind(b, 0) == 0;
    if (skip) continue;
    out += (out.empty() ? "" : " / ") + line;
  }
  return out.size() > 600 ? out.substr(0, 600) + "..." : out;
}

class Player {
 public:
  Player(const History& h, Runner& runner, const PlayOptions& o) : h_(h), runner_(runner), o_(o), now_(o.start) {}

  Outcome play() {
    struct RestoreClock {
      long long was = db::embedded::clockOffsetSeconds();
      ~RestoreClock() { db::embedded::setClockOffsetSeconds(was); }
    } restore;
    const std::string ini = readAll(iniPath());
    std::istringstream types(settingOf(ini, "SYNCHVCHTYPEIDS"));
    for (std::string t; std::getline(types, t, ';');)
      if (t.find_first_of("0123456789") != std::string::npos) allTypes_.push_back(std::stoll(t));
    ticked_ = std::set<long long>(allTypes_.begin(), allTypes_.end());
    int no = 0;
    for (const Step& s : h_.steps) {
      ++no;
      step_ = no;
      std::string what;
      try {
        what = playStep(s);
      } catch (const db::DbError& e) {
        what = "stopped by a database error: " + e.description();
        violation("harness", what);
      } catch (const std::exception& e) {
        what = std::string("stopped: ") + e.what();
        violation("harness", what);
      }
      out_.recipe.push_back(fmt::format("{:3}. [{}] {}{}", no, when(now_), s.describe(),
                                        what.empty() ? std::string() : " -> " + what));
    }
    step_ = ++no;
    try {
      recover();
      judge();
    } catch (const db::DbError& e) {
      violation("harness", "the recovery stopped on a database error: " + e.description());
    } catch (const std::exception& e) {
      violation("harness", std::string("the recovery stopped: ") + e.what());
    }
    return out_;
  }

 private:
  // ---- connections and clock ----
  struct Sides {
    std::unique_ptr<db::Connection> branch, central;
  };
  Sides open() {
    Sides s;
    s.branch = db::openConnection(companyConnectionString(o_.branchServer, o_.branchDb), o_.home);
    s.central = db::openConnection(companyConnectionString(o_.centralServer, o_.centralDb), o_.home);
    return s;
  }
  fs::path iniPath() const { return o_.home / "Resources" / "Appsettings.ini"; }

  // The offset that makes the servers' clock read `t` now.
  static long long offsetFor(const db::DateTime& t) {
    const long long real = db::embedded::serverNow().totalSeconds() - db::embedded::clockOffsetSeconds();
    return t.totalSeconds() - real;
  }
  void erpClock() { db::embedded::setClockOffsetSeconds(offsetFor(now_)); }
  void advance(int minutes) { now_ = db::DateTime::fromTotalSeconds(now_.totalSeconds() + minutes * 60LL); }

  void violation(const std::string& rule, const std::string& text) {
    out_.violations.push_back(fmt::format("{}: {} (found after step {})", rule, text, step_));
  }

  static long long scalar(db::Connection& c, const std::string& sql) {
    auto rs = c.query(sql);
    return rs.empty() || rs.at(0, 0).isNull() ? 0 : rs.at(0, 0).toInt();
  }

  // ---- steps ----
  std::string playStep(const Step& s) {
    switch (s.kind) {
      case StepKind::Enter:
      case StepKind::Edit:
      case StepKind::EditUploaded:
      case StepKind::Delete:
      case StepKind::DeleteUploaded:
      case StepKind::DeleteNewestAndEnter:
        advance(1);
        return erpStep(s);
      case StepKind::CentralEdit:
      case StepKind::CentralDelete:
        advance(1);
        return centralStep(s);
      case StepKind::Untick:
      case StepKind::Tick:
        return settingsStep(s);
      case StepKind::Clock:
        return clockStep(s);
      case StepKind::Sync:
        return syncStep(s.verb, s.fault);
    }
    return {};
  }

  struct Candidate {
    std::size_t model;  // index into entered_
    bool uploaded, locked;
  };

  // The model's live vouchers with their marks as the branch holds them now.
  std::vector<Candidate> candidates(db::Connection& branch) {
    std::vector<Candidate> out;
    for (VoucherFamily f : kVoucherFamilies) {
      auto rs = branch.query(fmt::format("SELECT {}, isnull(SyncStat,0), isnull(LockMode,0) FROM {} WHERE CCID = {}",
                                         keyColumn(f), headerTable(f), o_.costCentre));
      std::map<long long, std::pair<bool, bool>> marks;
      for (std::size_t r = 0; r < rs.size(); ++r)
        marks[rs.at(r, 0).toInt()] = {rs.at(r, 1).toInt() == 1, rs.at(r, 2).toInt() == 1};
      for (std::size_t i = 0; i < entered_.size(); ++i) {
        const Entered& e = entered_[i];
        if (!e.alive || e.family != f) continue;
        auto m = marks.find(e.id);
        if (m != marks.end()) out.push_back({i, m->second.first, m->second.second});
      }
    }
    return out;
  }

  std::string name(const Entered& e) const {
    return fmt::format("{} {} ({} of {})", headerTable(e.family), e.id, e.number, dayText(e.date));
  }

  std::string enter(BranchErp& erp, VoucherFamily f) {
    const EnteredVoucher v = erp.enter(f, now_);
    entered_.push_back({f, v.id, v.number, now_.dateOnly(), step_, true});
    return "entered " + name(entered_.back());
  }

  std::string erpStep(const Step& s) {
    erpClock();
    Sides c = open();
    BranchErp erp(*c.branch, o_.costCentre, h_.seed * 7919u + static_cast<unsigned>(step_));
    if (s.kind == StepKind::Enter) return enter(erp, s.family);
    if (s.kind == StepKind::DeleteNewestAndEnter) {
      const Entered* newest = nullptr;
      std::size_t index = 0;
      for (const Candidate& k : candidates(*c.branch)) {
        const Entered& e = entered_[k.model];
        if (e.family == s.family && !k.locked && (!newest || e.id > newest->id)) {
          newest = &e;
          index = k.model;
        }
      }
      std::string what;
      if (newest) {
        erp.remove(s.family, newest->id);
        entered_[index].alive = false;
        what = "deleted " + name(entered_[index]) + ", ";
      }
      return what + enter(erp, s.family);
    }
    const bool uploaded = s.kind == StepKind::EditUploaded || s.kind == StepKind::DeleteUploaded;
    std::vector<std::size_t> same, any;
    for (const Candidate& k : candidates(*c.branch)) {
      if (k.locked || k.uploaded != uploaded) continue;
      any.push_back(k.model);
      if (entered_[k.model].family == s.family) same.push_back(k.model);
    }
    const auto& pool = same.empty() ? any : same;
    if (pool.empty()) return "no such voucher, nothing done";
    Entered& e = entered_[pool[s.pick % pool.size()]];
    if (s.kind == StepKind::Edit || s.kind == StepKind::EditUploaded)
      return "edited " + name(e) + ": " + erp.edit(e.family, e.id, s.lines);
    erp.remove(e.family, e.id);
    e.alive = false;
    return "deleted " + name(e);
  }

  std::string centralStep(const Step& s) {
    erpClock();
    Sides c = open();
    // Head office changes only copies of the days the branch's day ends will still compare: a day end
    // compares from the earlier of its day start and the last day closed, so every day from the last
    // day closed on (every day while none was closed). A copy of a day before that is outside what
    // the branch checks; verify and Manual Synch of that date are how it is repaired.
    std::string since;
    {
      auto rs = c.branch->query("SELECT TOP 1 DateOF FROM tblDayActivity WHERE Activity='DayEnd' ORDER BY ID DESC");
      if (!rs.empty())
        if (auto d = rs.at(0, 0).toDateTime()) since = d->dateOnly().iso().substr(0, 10);
    }
    std::vector<oracle::CopyRef> copies;
    for (const auto& ref : oracle::liveCopies(*c.branch, *c.central, o_.costCentre)) {
      for (const auto& x : oracle::families())
        if (x.header == ref.table &&
            (since.empty() || !c.central
                                   ->query(fmt::format("SELECT 1 FROM {} WHERE {} = {} AND {} >= '{}'", x.header,
                                                       x.key, ref.key, x.date, since))
                                   .empty()))
          copies.push_back(ref);
    }
    if (copies.empty()) return "head office holds no live copy of the days compared, nothing done";
    const oracle::CopyRef ref = copies[s.pick % copies.size()];
    const oracle::Family* f = nullptr;
    for (const auto& x : oracle::families())
      if (x.header == ref.table) f = &x;
    const std::string of = fmt::format(" WHERE {} = {}", f->key, ref.key);
    const std::string number =
        c.central->query("SELECT " + f->number + " FROM " + f->header + of).at(0, 0).toString();
    const std::string what = fmt::format("{} {} ({})", ref.table, ref.key, number);
    if (s.kind == StepKind::CentralDelete) {
      db::Transaction t(*c.central);
      if (!f->lines.empty()) c.central->execute("DELETE FROM " + f->lines + of);
      c.central->execute("DELETE FROM " + f->header + of);
      t.commit();
      return "deleted head-office " + what;
    }
    if (s.lines != LineEdit::None && !f->lines.empty()) {
      const bool journal = f->lines == "tblStockJournalDetail";
      auto first = c.central->query("SELECT min(SlNo) FROM " + f->lines + of);
      if (!first.empty() && !first.at(0, 0).isNull()) {
        const std::string qty = journal ? "QtyIn" : "Qty";
        c.central->execute(fmt::format("UPDATE {} SET {} = isnull({},0) + 1, Amount = isnull(Amount,0) + 1{} AND "
                                       "SlNo = {}",
                                       f->lines, qty, qty, of, first.at(0, 0).toInt()));
        return "head office changed line " + first.at(0, 0).toString() + " of " + what;
      }
    }
    const std::string column = f->header == "tblJobcard" ? "Complaint"
                               : f->header == "tblNotes" ? "Narration"
                                                         : "UserNarration";
    c.central->execute(fmt::format("UPDATE {} SET {} = {}{}", f->header, column,
                                   db::sqlQuote(fmt::format("Changed at head office ({})", step_)), of));
    return "head office changed " + column + " of " + what;
  }

  void writeTypes() {
    std::string list;
    for (long long t : allTypes_)
      if (ticked_.count(t)) list += std::to_string(t) + ";";
    const std::string text = withSetting(readAll(iniPath()), "SYNCHVCHTYPEIDS", list);
    std::ofstream(iniPath(), std::ios::binary | std::ios::trunc) << text;
  }

  std::string settingsStep(const Step& s) {
    std::vector<long long> from;
    for (long long t : allTypes_)
      if ((s.kind == StepKind::Untick) == (ticked_.count(t) > 0)) from.push_back(t);
    if (from.empty() || (s.kind == StepKind::Untick && from.size() == 1)) return "nothing to change";
    const long long t = from[s.pick % from.size()];
    if (s.kind == StepKind::Untick)
      ticked_.erase(t);
    else
      ticked_.insert(t);
    writeTypes();
    return fmt::format("type {} {}", t, s.kind == StepKind::Untick ? "unticked" : "ticked");
  }

  std::string clockStep(const Step& s) {
    switch (s.clock) {
      case ClockMove::Minutes:
        advance(s.minutes);
        break;
      case ClockMove::LateEvening: {
        db::DateTime late = now_.dateOnly();
        late.hour = 23;
        late.minute = 50;
        if (now_ < late) now_ = late;
        lateDay_ = now_.dateOnly();
        break;
      }
      case ClockMove::PastMidnight: {
        const db::DateTime base = lateDay_ ? *lateDay_ : now_.dateOnly();
        db::DateTime next = db::DateTime::fromDayNumber(base.dayNumber() + 1);
        next.minute = 10;
        if (now_ < next) now_ = next;
        break;
      }
    }
    return "now " + when(now_);
  }

  struct DayRows {
    long long branchEnd = 0, centralEnd = 0, branchStart = 0, centralStart = 0;
    long long branchStarted = 0, centralStarted = 0;  // "Day Start started" rows
  };
  DayRows dayRows(Sides& c) {
    DayRows r;
    auto count = [&](db::Connection& side, const std::string& where) {
      try {
        return scalar(side, "SELECT count(*) FROM tblDayActivity WHERE CCID = " + std::to_string(o_.costCentre) +
                                " AND " + where);
      } catch (const db::DbError&) {
        return 0LL;  // no day rows table yet
      }
    };
    r.branchEnd = count(*c.branch, "Activity = 'DayEnd'");
    r.centralEnd = count(*c.central, "Activity = 'DayEnd'");
    r.branchStart = count(*c.branch, "Activity = 'DayStart' AND ActivitiesDetail = 'Day Start Finished'");
    r.centralStart = count(*c.central, "Activity = 'DayStart' AND ActivitiesDetail = 'Day Start Finished'");
    r.branchStarted = count(*c.branch, "Activity = 'DayStart' AND ActivitiesDetail = 'Day Start started'");
    r.centralStarted = count(*c.central, "Activity = 'DayStart' AND ActivitiesDetail = 'Day Start started'");
    return r;
  }

  // Runs a verb; returns what it did, in words. Judges what must hold right after it.
  std::string syncStep(const std::string& verb, const std::optional<Fault>& fault) {
    advance(3);
    std::set<oracle::CopyRef> beforePurge;
    DayRows before;
    Marks marksBefore;
    {
      Sides c = open();
      before = dayRows(c);
      if (verb == "purge") beforePurge = oracle::liveCopies(*c.branch, *c.central, o_.costCentre, now_);
      if (fault) marksBefore = marks(*c.branch);
    }
    SyncRun run;
    run.args = words(verb);
    run.args.insert(run.args.end(), {"--home", o_.home.string(), "--yes"});
    run.fault = fault;
    run.clockOffsetSeconds = offsetFor(now_);
    const auto began = std::chrono::steady_clock::now();
    const RunResult r = runner_.run(run);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    ++out_.syncRuns;
    if (r.faultFired) ++out_.faultsFired;

    std::string what = fmt::format("exit {} in {:.1f} s", r.exitCode, took);
    if (fault) what += r.faultFired ? ", fault fired" : fmt::format(", fault not reached ({} calls)", r.calls);
    if (r.exitCode != 0 && r.exitCode != 1 && r.exitCode != 3 &&
        !(fault && fault->kind == FaultKind::Crash && r.faultFired))
      violation("exit", fmt::format("{} ended with exit code {}: {}", verb, r.exitCode, shortOutput(r.output)));

    Sides c = open();
    const DayRows after = dayRows(c);
    if (verb == "day-end") {
      lastDayEndOutput_ = r.output;
      if (after.branchEnd > before.branchEnd) {
        days_.push_back({step_, now_.dateOnly(), true, toldCentralRowMissing(r.output)});
        what += ", day closed";
        lastDayEndClosed_ = true;
      } else {
        lastDayEndClosed_ = false;
        if (r.exitCode == 0)
          violation("day-rows", "day-end ended with exit code 0 but wrote no DayEnd row at the branch: " +
                                    shortOutput(r.output));
      }
    } else if (after.branchEnd != before.branchEnd) {
      violation("day-rows", verb + " changed the branch's DayEnd rows");
    }
    if (verb == "day-start") {
      if (after.branchStart > before.branchStart) {
        days_.push_back({step_, now_.dateOnly(), false, toldCentralRowMissing(r.output)});
        what += ", day started";
      } else {
        if (r.exitCode == 0)
          violation("day-rows", "day-start ended with exit code 0 but wrote no 'Day Start Finished' row: " +
                                    shortOutput(r.output));
        // A day start that did not finish takes its "started" row back (it blocks data entry), unless
        // the process ended or the branch's link went before it could (a drop of head office's link
        // leaves the branch's).
        const bool couldClean = !fault || !r.faultFired || fault->kind == FaultKind::Error ||
                                (fault->kind == FaultKind::Drop && fault->centralOnly);
        if (couldClean && after.branchStarted > before.branchStarted)
          violation("day-rows", "a day start that did not finish left its 'Day Start started' row at the branch: " +
                                    shortOutput(r.output));
        if (couldClean && fault && fault->kind == FaultKind::Error && after.centralStarted > before.centralStarted)
          violation("day-rows", "a day start that did not finish left its 'Day Start started' row at head office: " +
                                    shortOutput(r.output));
      }
    } else if (after.branchStart != before.branchStart) {
      violation("day-rows", verb + " changed the branch's 'Day Start Finished' rows");
    }

    // Branch vouchers go only when the ERP deletes them, or the day purge does.
    bool purged = false;
    for (VoucherFamily f : kVoucherFamilies) {
      auto rs = c.branch->query(fmt::format("SELECT {} FROM {}", keyColumn(f), headerTable(f)));
      std::set<long long> present;
      for (std::size_t i = 0; i < rs.size(); ++i) present.insert(rs.at(i, 0).toInt());
      for (Entered& e : entered_) {
        if (!e.alive || e.family != f || present.count(e.id)) continue;
        e.alive = false;
        if (verb == "purge")
          purged = true;
        else
          violation("branch-untouched", verb + " removed the branch's " + name(e));
      }
    }
    if (verb == "purge" && (purged || r.exitCode == 0)) {
      allowedOrphans_.insert(beforePurge.begin(), beforePurge.end());
      if (!beforePurge.empty()) purgeLeftCopies_ = step_;
      what += fmt::format(", {} head-office copies of other days left behind", beforePurge.size());
    }

    if (fault && r.faultFired) {
      // Right after a fault, before anything else runs: nothing doubled, nothing half, no mark astray.
      oracle::Options weak;
      weak.costCentre = o_.costCentre;
      weak.strong = false;
      // The marks the run wrote; older ones may name copies head office has deleted since.
      std::set<oracle::CopyRef> written;
      const Marks marksAfter = marks(*c.branch);
      for (const auto& [voucher, mark] : marksAfter)
        if (auto was = marksBefore.find(voucher); was == marksBefore.end() || was->second != mark)
          written.insert(voucher);
      weak.marksOf = written;
      for (const auto& line : oracle::lines(oracle::check(*c.branch, *c.central, weak)))
        violation("right after the fault", line);
    }
    return what + ": " + shortOutput(r.output);
  }

  // Each branch voucher's mark: SyncStat and ServInvID as text.
  using Marks = std::map<oracle::CopyRef, std::string>;
  Marks marks(db::Connection& branch) {
    Marks m;
    for (const auto& f : oracle::families()) {
      auto rs = branch.query("SELECT " + f.key + ", SyncStat, ServInvID FROM " + f.header);
      for (std::size_t r = 0; r < rs.size(); ++r)
        m[{f.header, rs.at(r, 0).toInt()}] = rs.at(r, 1).toString() + "/" + rs.at(r, 2).toString();
    }
    return m;
  }

  // ---- the user's recovery ----
  void recover() {
    out_.recipe.push_back("--- recovery ---");
    auto line = [&](const std::string& step, const std::string& what) {
      out_.recipe.push_back(fmt::format("  R. [{}] {} -> {}", when(now_), step, what));
    };
    ticked_ = std::set<long long>(allTypes_.begin(), allTypes_.end());
    writeTypes();
    line("settings: tick every voucher type of the branch", "done");
    advance(10);
    const std::string passes = "run --passes 8 --wait-ms 0 --until-quiet";
    line("sync: " + passes, syncStep(passes, std::nullopt));
    for (int attempt = 1; attempt <= 4; ++attempt) {
      line("sync: day-end", syncStep("day-end", std::nullopt));
      const bool closed = lastDayEndClosed_;
      line("sync: " + passes, syncStep(passes, std::nullopt));
      if (closed) {
        out_.dayClosed = true;
        break;
      }
    }
    // The day purge keeps head office's vouchers of earlier days while the branch loses them: until a
    // day start moves the day's beginning past them, the day end's counts cannot agree.
    bool startedSincePurge = false;
    for (const DayEvent& d : days_) startedSincePurge = startedSincePurge || (!d.dayEnd && d.step > purgeLeftCopies_);
    if (!out_.dayClosed && purgeLeftCopies_ > 0 && !startedSincePurge)
      out_.recipe.push_back("  (the day end cannot close: the day purge of step " + std::to_string(purgeLeftCopies_) +
                            " left head office's vouchers of earlier days behind and no day start followed)");
    else if (!out_.dayClosed)
      violation("day-end", "the day end did not close in 4 tries; the last said: " + shortOutput(lastDayEndOutput_));
  }

  // ---- the end: oracle and story ----
  void judge() {
    Sides c = open();
    oracle::Options strong;
    strong.costCentre = o_.costCentre;
    strong.allowedOrphans = allowedOrphans_;
    for (const auto& l : oracle::lines(oracle::check(*c.branch, *c.central, strong))) violation("after recovery", l);

    // Locks: a voucher is locked exactly when a completed day end (or, for a sale, a completed day
    // start) came after it was entered, with a working date on or after its date.
    for (VoucherFamily f : kVoucherFamilies) {
      auto rs = c.branch->query(
          fmt::format("SELECT {}, isnull(LockMode,0) FROM {} WHERE CCID = {}", keyColumn(f), headerTable(f),
                      o_.costCentre));
      std::map<long long, bool> locked;
      for (std::size_t r = 0; r < rs.size(); ++r) locked[rs.at(r, 0).toInt()] = rs.at(r, 1).toInt() == 1;
      for (const Entered& e : entered_) {
        if (!e.alive || e.family != f) continue;
        const auto it = locked.find(e.id);
        if (it == locked.end()) continue;
        const DayEvent* cover = nullptr;
        for (const DayEvent& d : days_)
          if (d.step > e.step && e.date <= d.workingDate && (d.dayEnd || f == VoucherFamily::Sales)) {
            cover = &d;
            break;
          }
        if (it->second && !cover)
          violation("locks", name(e) + " is locked, but no completed day end covered it");
        if (!it->second && cover)
          violation("locks", fmt::format("{} is not locked, but the {} of step {} (working date {}) covered it",
                                         name(e), cover->dayEnd ? "day end" : "day start", cover->step,
                                         dayText(cover->workingDate)));
      }
    }

    // Day rows: as many at head office as at the branch, as many as completed.
    const DayRows rows = dayRows(c);
    long long ends = 0, starts = 0, centralEnds = 0, centralStarts = 0;
    for (const DayEvent& d : days_) {
      (d.dayEnd ? ends : starts) += 1;
      if (!d.centralRowToldMissing) (d.dayEnd ? centralEnds : centralStarts) += 1;
    }
    // A row told as not written may still have arrived (its answer was lost on the way back).
    if (rows.branchEnd != ends || rows.centralEnd < centralEnds || rows.centralEnd > ends)
      violation("day-rows", fmt::format("{} day ends completed; DayEnd rows: {} at the branch, {} at head office",
                                        ends, rows.branchEnd, rows.centralEnd));
    if (rows.branchStart != starts || rows.centralStart < centralStarts || rows.centralStart > starts)
      violation("day-rows",
                fmt::format("{} day starts completed; 'Day Start Finished' rows: {} at the branch, {} at head office",
                            starts, rows.branchStart, rows.centralStart));
  }

  const History& h_;
  Runner& runner_;
  PlayOptions o_;
  db::DateTime now_;
  std::optional<db::DateTime> lateDay_;
  int step_ = 0;
  std::vector<long long> allTypes_;
  std::set<long long> ticked_;
  std::vector<Entered> entered_;
  std::vector<DayEvent> days_;
  std::set<oracle::CopyRef> allowedOrphans_;
  bool lastDayEndClosed_ = false;
  int purgeLeftCopies_ = 0;  // the step of the last day purge that left copies of other days behind
  std::string lastDayEndOutput_;
  Outcome out_;
};

}  // namespace

Outcome play(const History& history, Runner& runner, const PlayOptions& options) {
  return Player(history, runner, options).play();
}

std::string report(const History& history, const Outcome& outcome, const PlayOptions& options) {
  std::string s = fmt::format("History of seed {}: {} violations ({} synchroniser runs, {} faults fired)\n",
                              history.seed, outcome.violations.size(), outcome.syncRuns, outcome.faultsFired);
  s += "Recipe:\n";
  for (const auto& l : outcome.recipe) s += "  " + l + "\n";
  s += "Violations:\n";
  for (const auto& v : outcome.violations) s += "  " + v + "\n";
  if (!options.replayHint.empty()) s += "Replay: " + options.replayHint + "\n";
  return s;
}

}  // namespace erpsync::testbed::history
