#pragma once
// What a process that shows web pages sets up before its QApplication exists: the browser's
// sandbox off for root (it cannot run there), shared GL contexts, and Qt Quick's software
// renderer for the views, so that pages draw on any X server (Xvfb included) and stack cleanly
// with the player's native video window. A value the user set in the environment is kept.
namespace nivra::ui {

void PrepareWebProcess();

}  // namespace nivra::ui
