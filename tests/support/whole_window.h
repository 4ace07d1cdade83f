#pragma once
// A window must read whole at the size it has (which fits a small screen of 1024 x 768, see the
// window sizes test) in the desktop's font and in a font one size larger: no child widget reaches
// outside its parent, and no label's text is wider than the label. The check walks every widget the window
// shows, each time after its layouts have taken the font; with KESTRAVA_SCREENSHOTS set, the window is
// pictured as well (screenshot.h).

class QWidget;

namespace testing_support {

void ExpectWholeWindow(QWidget& window, const char* name);

}  // namespace testing_support
