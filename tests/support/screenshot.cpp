#include "support/screenshot.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

namespace testing_support {

void SaveScreenshot(const QImage& picture, const char* name) {
  EXPECT_FALSE(picture.isNull()) << name;
  const QString folder = qEnvironmentVariable("KESTRAVA_SCREENSHOTS");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  EXPECT_TRUE(picture.save(QDir(folder).filePath(QString::fromLatin1(name) + ".png"))) << name;
}

}  // namespace testing_support
