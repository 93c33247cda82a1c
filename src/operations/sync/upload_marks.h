// The branch's side of one upload batch: the claims written before it goes, and the marks written after
// head office committed it, each in one branch transaction and a few statements whatever the batch's
// size.
#pragma once

#include <vector>

namespace erpsync {
struct SyncContext;
}

namespace erpsync::sync {

struct UploadBatch;
struct BatchReply;

// Records the claims of a batch's vouchers before it goes up (SendUnit::claim). False after an error
// (told): nothing of the batch is sent.
bool writeClaims(SyncContext& ctx, UploadBatch& batch);

// The branch's marks after head office committed a batch, in one branch transaction: each voucher
// sent, and each found there already, is marked with its central number (unless the ERP changed or
// deleted it since it was read, the change log past readEnd says so: its change waits for the next
// pass), its claim becomes Live and its earlier claims go (their copies were retired or taken by this
// send); each deletion's claim goes. Marks lost with it (a crash, a failed branch commit) leave the
// vouchers waiting and the claims as they were, where the next pass finds them and takes the copies
// head office holds instead of copying again. The change-log rows the marks themselves wrote (an
// update of each voucher marked) are added to ownRows. False after an error (told).
bool markAtBranch(SyncContext& ctx, const UploadBatch& batch, const BatchReply& reply, long long readEnd,
                  std::vector<long long>& ownRows);

}  // namespace erpsync::sync
