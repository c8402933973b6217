#pragma once

namespace korvel::bench {

// Each prints one numbered figure with its bound and target.
void statusRequestFigure();
void zrReportFigure();
void unansweredWaitFigure();
void idlePollingFigure();
void logAppendFigure();
void startupFigure();
void backupFigure();
void networkFigure();
void noiseFigure();
void webStatusFigure();
void webWatchedBackupFigure();

// The benchmark started again as a stand-in for the program: builds the main
// window on the given device as port 1 and reports its times and memory.
int startupProbe(int argc, char** argv);
// The benchmark started again as a page's browsers: COUNT events sockets on PORT.
int watchProbe(int argc, char** argv);

}  // namespace korvel::bench
