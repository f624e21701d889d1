// The copy loop of a job: every candidate is judged by the job's compare method and copied
// or moved when it is new or changed. Copies run on worker threads while the loop goes on
// judging the next candidates; rows, log lines, moves and folder removals still happen in
// list order.
#pragma once

#include "engine/job_context.h"

namespace brisvel {

// Runs the loop over the context's candidate list (found count > 0), stopping at a cancel,
// and writes the "Found N files." row.
void RunCopyLoop(JobContext& context);

}  // namespace brisvel
