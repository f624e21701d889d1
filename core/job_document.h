// Taking a job file, once read, into the job list, the run settings and the job list view.
#pragma once

#include <string>

#include "core/job_list.h"
#include "core/job_list_view.h"
#include "core/run_settings.h"
#include "core/xml_reader.h"

namespace brisvel {

// Checks the root ("brisvel" in any letter case), then replaces the list by the document's
// "job" children and the settings by the root's, and shows them in `view`. Returns 1 when
// at least one job was taken. Shows "Not a valid Brisvel file!" (nothing changed) or
// "No valid jobs were found in the file!" (the list then holds one default job). Always ends
// by refreshing the settings panel. Relative folders of the jobs are taken as lying in
// `jobFileFolder` (ending in a separator) when it is given.
int ApplyJobDocument(const XmlDocument& document, JobList& jobs, RunSettings& settings,
                     JobListView& view, const std::string& jobFileFolder = "");

}  // namespace brisvel
