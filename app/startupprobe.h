#pragma once

class QWidget;

// Measurement hooks for the start-up benchmark and for screenshots, armed only by
// environment variables that the program otherwise never reads:
//   WP_STARTUP_PROBE=<steady clock nanoseconds at launch>: when the event loop first goes
//     idle after the window is shown, print "startup_ms=<elapsed> rss_kb=<resident size>"
//     to standard output and quit.
//   WP_SCREENSHOT=<file.png>: at that moment save a picture of the window and quit.
void armStartupProbes(QWidget *window);
