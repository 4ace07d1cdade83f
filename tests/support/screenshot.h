#pragma once
// A picture of a window for a look by eye: with KESTRAVA_SCREENSHOTS naming a folder, a test saves
// what it shows there as <name>.png; without it nothing is written.

#include <QImage>
#include <QPixmap>

namespace testing_support {

void SaveScreenshot(const QImage& picture, const char* name);
inline void SaveScreenshot(const QPixmap& picture, const char* name) {
  SaveScreenshot(picture.toImage(), name);
}

}  // namespace testing_support
