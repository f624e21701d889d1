#include "app/usage.h"

namespace brisvel {

const char* HelpText() {
  return R"(Usage:
  brisvel [--console] JOBFILE [silent|tray] [shutdown]
      Runs the enabled jobs of a job file (.jbs) at once.
  brisvel [--console] open|edit [JOBFILE]
      Opens the main window, with the jobs of JOBFILE when it is given.
  brisvel [--console] backup SOURCE DESTINATION [WORD...]
      Runs one job that backs SOURCE up into DESTINATION (created when missing).
  brisvel schedule JOBFILE daily HH:MM | weekly DAY HH:MM | connect | off
      Runs JOBFILE by itself, hidden: every day, every week (DAY: monday ... sunday), or
      whenever the drive its jobs back up to is mounted (Linux); off removes the schedule.
  brisvel schedule
      Lists the schedules.
  brisvel
      Opens the main window.
  brisvel --help | --version

Words of the one-off "backup" form (any letter case, any order):
  recursive, subfolders        include sub-folders
  move                         move the files instead of copying them
  orphan, orphans              delete files the source no longer has from the destination
  open, openpath, openfolder   open the destination folder when done
  log FILE                     append to the log file FILE in the destination
  filter "EXT EXT ..."         back up only files with these extensions
  exclude "PATTERN; ..."       leave out what the patterns match, relative to SOURCE with
                               "/" between folders: "*.tmp; ~$*" names at any depth,
                               "node_modules/; **/cache/" folders only (final "/"),
                               "photos/raw/" only there (a "/" inside ties it to SOURCE);
                               "*" and "?" stay within a name, "**" spans folders
  size, filesize               judge files changed by their size (the default)
  date, moddate, modified      ... by their modified date
  crc, crc32                   ... by their CRC32 checksum
  md5                          ... by their MD5 hash
                               (the last of these method words wins)
  needsdrive                   DESTINATION is a drive of its own: skip the job while it is
                               not connected, and never create the folder
Words of both run forms:
  silent, tray                 run without the progress window; close when finished
  shutdown                     shut the computer down when finished

Options (before everything else):
  --console    run in this terminal even when a desktop is available
  --scheduled  run JOBFILE as a schedule does: never the main window; a missing job file or
               a failed run is told on the desktop and in the system's log, and the exit
               status tells the outcome
  --help       show this text
  --version    show the version

In a terminal the log rows go to standard output and the progress to standard error.
A hidden (silent, tray) or scheduled run that fails or cannot run says so in a desktop
notification and in one line on standard error.
Exit status: 0 finished without errors, 1 errors occurred, 2 nothing could run (also when
every job waited for a drive that is not connected, and for a refused schedule), 130 cancelled (Ctrl+C, SIGTERM or SIGHUP stops the run; a second one ends at once,
removing the unfinished copies).
)";
}

const char* UsageLine() {
  return "Usage: brisvel JOBFILE [silent|tray] [shutdown]  or  brisvel backup SOURCE "
         "DESTINATION [WORD...]  or  brisvel schedule [JOBFILE WHEN]  (brisvel --help lists "
         "every word)";
}

}  // namespace brisvel
