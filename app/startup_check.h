// The start-up check that every resource list file is present in the
// working directory. Window-free: it reports through app/status_log.h.
#ifndef REVEDIZ_APP_STARTUP_CHECK_H
#define REVEDIZ_APP_STARTUP_CHECK_H

// Opens each file of kResourceListFiles (resources/resource_files.h) for
// reading in text mode, by its bare name, and closes it at once. At the first one that cannot be opened, shows
// "File %s is missing." in an owner-less box with the default caption and
// returns 1 without looking at the rest. Returns 0 when all sixteen opened.
// Nothing goes to the status log, which does not exist yet.
int StartupFileCheck();

#endif  // REVEDIZ_APP_STARTUP_CHECK_H
