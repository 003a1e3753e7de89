#pragma once

class QWidget;

// Makes SIGINT and SIGTERM close the window the normal way, as its close button does. The
// signal handler only writes to a pipe; the close runs later on the UI thread.
void closeOnQuitSignals(QWidget* window);
