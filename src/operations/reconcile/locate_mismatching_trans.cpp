// The mismatch locator. Every query is confined to this branch's cost centre (and the chosen voucher
// types) on both sides: head office holds every branch's vouchers of the day, often under the same
// numbers and types, and another branch's voucher must never hide or stand for one of ours.
#include "reconcile/locate_mismatching_trans.h"

#include "db/connection.h"
#include "db/sql_quote.h"
#include "reconcile/voucher_type_names.h"
#include "shared/date_text.h"
#include "shared/sync_context.h"
#include "sync/voucher_kinds.h"

namespace erpsync::reconcile {

namespace {

constexpr const char* kRetiredMark = "#DELETEDFROMBRANCH#";

// The columns a voucher family is known by.
struct Family {
  std::string table, detail;  // as the caller named them
  std::string id;             // header key; the detail's reference to it
  std::string number;
  std::string date;
  std::string mark;  // the column a retired central copy carries the mark in
  bool lines;        // compared by line count; notes have no lines
};

std::optional<Family> familyOf(const std::string& master, const std::string& detail) {
  const sync::VoucherKind* k = sync::voucherKind(master);
  if (!k) return std::nullopt;
  return Family{master, detail, k->key, k->numberColumn, k->dateColumn, k->markColumn, !k->detail.empty()};
}

std::string live(const std::string& alias, const Family& f) {
  return " and isnull(" + alias + f.mark + ",'')<>'" + kRetiredMark + "'";
}

long long whole(const db::Value& v) {
  return static_cast<long long>(v.toDouble());
}

std::string dateText(const db::Value& v) {
  auto d = v.toDateTime();
  return d ? ddMMMyyyy(*d) : v.toString();
}

// What the locator works with for one run.
struct Run {
  SyncContext& ctx;
  const Family& f;
  std::string day;     // the working date, "dd/MMM/yyyy"
  std::string cc;      // this branch's cost centre id
  std::string types;   // " and s.VchTypeID in (...)" or ""
  std::string remote;  // the central header table as the branch server reaches it
  bool force;
  MismatchOutcome& out;
};

MismatchedVoucher& list(Run& r, MismatchedVoucher v) {
  v.table = r.f.table;
  r.out.vouchers.push_back(std::move(v));
  return r.out.vouchers.back();
}

// Where a central copy agrees with a listed branch voucher on its natural key: number, date, voucher
// type and cost centre, as the upload's receipt check matches them. The branch's ServInvID alone never
// identifies a copy: head office numbers max+1, so once it deletes its newest copy the next upload
// reuses that number for another voucher.
std::string copyOf(const Run& r, const MismatchedVoucher& v) {
  return " where " + std::string(r.f.number) + "=" + db::sqlQuote(v.number) + " and " + r.f.date + "='" + v.date +
         "' and VchTypeID=" + std::to_string(v.type) + " and CCID=" + r.cc;
}

// Puts a listed branch voucher back in the upload queue and, when retire is set, retires its live
// central copy (found by its natural key), both or neither. The branch's re-queue is held open in a
// transaction while head office retires the copy, and commits only after that: a retire that fails (the
// link lost) rolls the re-queue back, so the voucher never waits for upload while its old copy is still
// live (the upload's receipt check would take that copy for it and the difference would stay). Should
// the branch's commit fail after the retire, the copies are restored. The one gap left, a crash between
// the two commits, leaves an uploaded voucher without a live copy, which the next run lists again
// (retired copies count as missing).
void requeueAndRetire(Run& r, MismatchedVoucher& v, bool retire) {
  const Family& f = r.f;
  auto& local = r.ctx.local();
  const std::string requeue = "  Update " + f.table + "  set syncstat = 0 where " + f.date + "='" + v.date + "' and " +
                              f.id + "=" + std::to_string(v.id) + " and VchTypeID=" + std::to_string(v.type);
  if (!retire) {
    // No live copy agrees with the voucher (that is why it is listed): nothing at head office is its.
    local.execute(requeue);
    v.requeued = true;
    r.ctx.log("Mismatch queued for upload again", f.table + " " + v.number);
    return;
  }
  auto& web = r.ctx.web();
  const std::string copy = copyOf(r, v) + live("", f);
  const db::Recordset before = web.query("select " + std::string(f.id) + " as CopyID, " + f.number + " as VNo, " +
                                         f.mark + " as Mark from " + f.table + copy);
  const std::string retireSql = "update  " + f.table + " set " +
                                (f.lines ? f.number + "=" + f.number + "+'Del'," : std::string()) + f.mark + "='" +
                                kRetiredMark + "'" + copy;

  db::Transaction branchTx(local);
  local.execute(requeue);
  const long long retired = web.execute(retireSql);
  try {
    branchTx.commit();
  } catch (const db::DbError&) {
    // Put back exactly the copies retired above, each by its own central key.
    for (std::size_t i = 0; retired > 0 && i < before.size(); ++i) {
      const db::Value& mark = before.at(i, "Mark");
      try {
        web.execute("update " + f.table + " set " +
                    (f.lines ? std::string(f.number) + "=" + db::sqlQuote(before.at(i, "VNo").toString()) + ","
                             : std::string()) +
                    f.mark + "=" + (mark.isNull() ? std::string("NULL") : db::sqlQuote(mark.toString())) + " where " +
                    f.id + "=" + std::to_string(whole(before.at(i, "CopyID"))) + " and CCID=" + r.cc);
      } catch (const db::DbError&) {
      }
    }
    throw;
  }
  v.requeued = true;
  v.retired = retired > 0;
  r.ctx.log("Mismatch queued for upload again",
            f.table + " " + v.number + (v.retired ? ", head office copy retired" : ""));
}

// Step A: vouchers the branch counts as uploaded of which head office holds no live copy (same number,
// date, type and cost centre).
void missingCentrally(Run& r) {
  const Family& f = r.f;
  const std::string sql =
      " select s." + std::string(f.id) + " as ID, s." + f.number + " as VNo, s." + f.date +
      " as VDate, s.VchTypeID as VType, 'Main Server' as ServerName, s.ServInvID, s.SyncStat from " + f.table +
      " s where s.SyncStat=1 and s." + f.date + "='" + r.day + "' and s.CCID=" + r.cc + r.types +
      " and not exists (select 1 from " + r.remote + " m where m." + f.number + "=s." + f.number + " and m." + f.date +
      "=s." + f.date + " and m.VchTypeID=s.VchTypeID and m.CCID=s.CCID" + live("m.", f) + ") order by s." + f.id;
  const db::Recordset rs = r.ctx.local().query(sql);
  r.ctx.status().stage(f.table);
  for (std::size_t i = 0; i < rs.size(); ++i) {
    MismatchedVoucher v;
    v.id = whole(rs.at(i, "ID"));
    v.number = rs.at(i, "VNo").toString();
    v.date = dateText(rs.at(i, "VDate"));
    v.type = whole(rs.at(i, "VType"));
    if (!rs.at(i, "ServInvID").isNull()) v.servInvID = whole(rs.at(i, "ServInvID"));
    MismatchedVoucher& listed = list(r, std::move(v));
    if (r.force) requeueAndRetire(r, listed, false);
  }
}

// Step B: vouchers on both sides whose line counts differ. Vouchers only head office holds are not
// listed here (nothing at the branch to send again).
void linesDiffer(Run& r) {
  const Family& f = r.f;
  const std::string remoteDetail = r.ctx.centralTable(f.detail);
  const std::string central =
      " select s." + std::string(f.number) + " as VNo, s." + f.date + " as VDate, s.VchTypeID as VType, count(m." +
      f.id + ") as ItemCount, 'Main Server' as ServerName from " + r.remote + " s left join " + remoteDetail +
      " m on m." + f.id + "=s." + f.id + " where s." + f.date + "='" + r.day + "' and s.CCID=" + r.cc + r.types +
      live("s.", f) + " group by s." + f.number + ", s." + f.date + ", s.VchTypeID order by s." + f.number;
  const db::Recordset rs = r.ctx.local().query(central);
  for (std::size_t i = 0; i < rs.size(); ++i) {
    const std::string number = rs.at(i, "VNo").toString();
    const std::string date = dateText(rs.at(i, "VDate"));
    const long long type = whole(rs.at(i, "VType"));
    const db::Recordset mine = r.ctx.local().query(
        " select s." + std::string(f.id) + " as ID, s." + f.number + " as VNo, s." + f.date +
        " as VDate, s.VchTypeID as VType, s.ServInvID, s.SyncStat, count(m." + f.id +
        ") as ItemCount, 'Branch Server' as ServerName from " + f.table + " s left join " + f.detail + " m on m." +
        f.id + "=s." + f.id + " where s." + f.date + "='" + date + "' and s.CCID=" + r.cc + " and s." + f.number + "=" +
        db::sqlQuote(number) + " and s.VchTypeID=" + std::to_string(type) + " group by s." + f.id + ", s." + f.number +
        ", s." + f.date + ", s.VchTypeID, s.ServInvID, s.SyncStat");
    if (mine.empty()) continue;
    r.ctx.status().status(number + " " + date + " ");
    r.ctx.host.doEvents();
    for (std::size_t j = 0; j < mine.size(); ++j) {
      MismatchedVoucher v;
      v.centralLines = whole(rs.at(i, "ItemCount"));
      v.branchLines = whole(mine.at(j, "ItemCount"));
      if (v.branchLines == v.centralLines) continue;
      v.linesDiffer = true;
      v.id = whole(mine.at(j, "ID"));
      v.number = mine.at(j, "VNo").toString();
      v.date = dateText(mine.at(j, "VDate"));
      v.type = whole(mine.at(j, "VType"));
      if (!mine.at(j, "ServInvID").isNull()) v.servInvID = whole(mine.at(j, "ServInvID"));
      MismatchedVoucher& listed = list(r, std::move(v));
      if (r.force) requeueAndRetire(r, listed, true);
    }
  }
}

// The voucher types' names beside their ids: one look-up when anything was listed.
void nameTypes(SyncContext& ctx, MismatchOutcome& out) {
  if (out.vouchers.empty()) return;
  const auto names = voucherTypeNames(ctx);
  for (auto& v : out.vouchers)
    if (auto n = names.find(v.type); n != names.end()) v.typeName = n->second;
}

MismatchOutcome locate(SyncContext& ctx, const WorkingDay& day, const std::string& MasterTable,
                       const std::string& DetailTable, bool BlnForcetransResync) {
  MismatchOutcome out;
  try {
    ctx.local().setCommandTimeout(0);
    ctx.web().setCommandTimeout(0);
    const auto family = familyOf(MasterTable, DetailTable);
    if (!family) return out;
    const std::string& ids = day.selectedVoucherTypeIds;
    Run run{ctx,
            *family,
            ddMMMyyyy(day.date),
            std::to_string(day.costCentreId),
            ids.empty() ? std::string() : " and s.VchTypeID in (" + ids + ")",
            ctx.centralTable(MasterTable),
            BlnForcetransResync,
            out};
    missingCentrally(run);
    if (family->lines && !DetailTable.empty()) linesDiffer(run);
  } catch (const std::exception& e) {
    out.failed = true;
    ctx.notice(e.what());
  }
  return out;
}

}  // namespace

MismatchOutcome LocateMismatchingTrans(SyncContext& ctx, const WorkingDay& day, const std::string& MasterTable,
                                       const std::string& DetailTable, bool BlnForcetransResync) {
  MismatchOutcome out = locate(ctx, day, MasterTable, DetailTable, BlnForcetransResync);
  nameTypes(ctx, out);
  return out;
}

MismatchOutcome LocateMismatchingTrans(SyncContext& ctx, const std::string& MasterTable, const std::string& DetailTable,
                                       bool BlnForcetransResync) {
  return LocateMismatchingTrans(ctx, ctx.day(), MasterTable, DetailTable, BlnForcetransResync);
}

MismatchOutcome LocateAllMismatches(SyncContext& ctx, const WorkingDay& day, bool BlnForcetransResync) {
  MismatchOutcome all;
  for (const auto& k : sync::voucherKinds()) {
    MismatchOutcome one = locate(ctx, day, k.table, k.detail, BlnForcetransResync);
    for (auto& v : one.vouchers) all.vouchers.push_back(std::move(v));
    if (one.failed) {
      all.failed = true;
      break;
    }
  }
  nameTypes(ctx, all);
  return all;
}

MismatchOutcome LocateAllMismatches(SyncContext& ctx, bool BlnForcetransResync) {
  return LocateAllMismatches(ctx, ctx.day(), BlnForcetransResync);
}

}  // namespace erpsync::reconcile
