#pragma once

// How the capture window takes text: web mode, a bar at the top edge of the screen fed by drops;
// pen mode, a small box fed by the clipboard.
enum class CaptureMode { Web, Pen };
